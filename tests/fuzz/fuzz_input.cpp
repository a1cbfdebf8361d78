// The analysis input (.in), opened as the model viewer opens one: loaded
// with its result set, linked, counted and turned into the display model.
// The first byte puts the input beside nothing or beside the result files
// of a small static, dynamic or eigen run, whose steps are then read as the
// results viewer reads them, so that an input that does not match its
// results is tried too.
#include <cstddef>
#include <cstdint>
#include <string>

#include "dataset/fb_resultset.h"
#include "dataset/model_stats.h"
#include "fuzz/fuzz_util.h"
#include "platform/text_lines.h"
#include "results/result_readers.h"
#include "results/test_run_writer.h"
#include "viewer/display_model.h"

namespace {

const std::string& Folder(int k) {
  static const std::string dirs[4] = {
      fuzz::FreshDir("alone"),
      [] { const std::string d = fuzz::FreshDir("run1"); testrun::WriteRun(d, "run", testrun::SmallFrame(1)); return d; }(),
      [] {
        // A long run, its fibre and shell files split into block files.
        const std::string d = fuzz::FreshDir("run2");
        testrun::RunSpec frameDesc = testrun::SmallFrame(2);
        frameDesc.blkStep = 2;
        frameDesc.writeTxt = true;
        testrun::WriteRun(d, "run", frameDesc);
        return d;
      }(),
      [] { const std::string d = fuzz::FreshDir("run3"); testrun::WriteRun(d, "run", testrun::SmallFrame(3)); return d; }(),
  };
  return dirs[k & 3];
}

void ReadSomeSteps(CFbResultSet& rs) {
  const int last = rs.m_nMaxStep;
  for (int g : {0, last - 1}) {
    int a = 0, b = 0;
    if (!rs.m_model.GetCaseStep(g, a, b)) continue;
    ReadNodeResult(rs, a, b);
    ReadBeamForce(rs, a, b);
    for (int kind = 0; kind < 3; ++kind) {
      ReadFiberResult(rs, a, b, kind);
      ReadShellResult(rs, kind, a, b);
    }
  }
  ReadModeShape(rs, 1);
  ReadModeShape(rs, static_cast<unsigned>(rs.m_model.m_nModeCount));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const unsigned select = fuzz::TakeByte(data, size);
  const std::string path = Folder(static_cast<int>(select)) + "run.in";
  fuzz::WriteFile(path, data, size);

  CFbResultSet rs;
  rs.m_fnShowMessage = [](const std::string&) {};
  auto in = plat::LineReader::FromFile(path);
  if (!in) return 0;
  std::string msg;
  LoadAnalysisInput(*in, path, rs, &msg);
  rs.m_model.Link();
  CModelStats stats;
  if (stats.CountFb(rs.m_model)) {
    CDispModel model;
    std::string error;
    model.BuildDisplayModelIn(rs.m_model, stats, &error);
  }
  if ((select & 3) != 0) ReadSomeSteps(rs);
  return 0;
}
