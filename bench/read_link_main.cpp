// One whole load of a model as a viewer's loading worker does it, for timing
// from process start to exit: a keyword data file (.dat / .da_) is read in
// the wide layout, linked (nodes, properties, axes) and counted; an analysis
// input (.in) is loaded, linked and counted. Prints the phases in ms and the
// element count and the process's peak resident memory on one line; the
// whole-process time is taken from outside (bench/read_link.py). With --write a keyword model is
// written back (wide layout) after linking, to compare bytes.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "dataset/fb_resultset.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "model/beam_records.h"
#include "platform/text_lines.h"

namespace {
using Clock = std::chrono::steady_clock;
double Ms(Clock::time_point a, Clock::time_point b) { return std::chrono::duration<double, std::milli>(b - a).count(); }

// The process's own resident high-water mark in KiB (0 when unknown). Taken
// from outside (wait4) it would include the parent's resident set, which a
// child inherits until it starts this program.
long PeakKiB() {
  std::FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long kib = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, "VmHWM:", 6) == 0) kib = std::atol(line + 6);
  std::fclose(f);
  return kib;
}

bool EndsWith(const std::string& s, const char* tail) {
  const std::string t(tail);
  return s.size() >= t.size() && s.compare(s.size() - t.size(), t.size(), t) == 0;
}
}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && !(argc == 4 && std::string(argv[2]) == "--write")) {
    std::fprintf(stderr, "usage: ov_read_link FILE.dat|FILE.in [--write OUT.dat]\n");
    return 2;
  }
  const std::string path = argv[1];
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
  if (!in) {
    std::fprintf(stderr, "ov_read_link: cannot open %s\n", path.c_str());
    return 2;
  }
  const auto t0 = Clock::now();
  long long elements = 0;
  double read = 0, link = 0, count = 0;
  Clock::time_point t3;
  if (EndsWith(path, ".in")) {
    auto rs = std::make_unique<CFbResultSet>();
    std::string msg;
    if (LoadAnalysisInput(*in, path, *rs, &msg) != 1) {
      std::fprintf(stderr, "ov_read_link: %s did not load: %s\n", path.c_str(), msg.c_str());
      return 1;
    }
    const auto t1 = Clock::now();
    rs->m_model.Link();
    const auto t2 = Clock::now();
    CModelStats stats;
    stats.CountFb(rs->m_model);
    t3 = Clock::now();
    elements = rs->m_model.m_aElems.GetCount() + rs->m_model.m_aQuads.GetCount();
    read = Ms(t0, t1), link = Ms(t1, t2), count = Ms(t2, t3);
  } else {
    auto ds = std::make_unique<CIpDataSet>();
    {
      ColumnModeScope wide(1);
      ds->Read(*in);
    }
    const auto t1 = Clock::now();
    ds->LinkNodes();
    const auto ta = Clock::now();
    ds->BuildPropList();
    const auto tb = Clock::now();
    ds->CalcElemAxes();
    const auto t2 = Clock::now();
    std::printf("nodes_ms %.1f props_ms %.1f axes_ms %.1f ", Ms(t1, ta), Ms(ta, tb), Ms(tb, t2));
    CModelStats stats;
    stats.CountIp(*ds);
    t3 = Clock::now();
    elements = ds->m_Elems.GetCount() + ds->m_Quads.GetCount();
    if (argc == 4) {
      // Written back after linking, as a viewer saves: for comparing bytes.
      ColumnModeScope wide(1);
      std::string error;
      if (!ds->WriteFile(argv[3], &error)) {
        std::fprintf(stderr, "ov_read_link: %s\n", error.c_str());
        return 1;
      }
      t3 = Clock::now();
    }
    read = Ms(t0, t1), link = Ms(t1, t2), count = Ms(t2, t3);
  }  // the model is freed here, as a viewer frees it when it closes
  const auto t4 = Clock::now();
  std::printf("elements %lld read_ms %.1f link_ms %.1f count_ms %.1f free_ms %.1f peak_kib %ld\n", elements, read, link,
              count, Ms(t3, t4), PeakKiB());
  return 0;
}
