#include "bench/bench_support.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "bench/frame_gen.h"
#include "platform/numbers.h"

#ifndef OV_BENCH_DATA_DEFAULT
#define OV_BENCH_DATA_DEFAULT "bench-data"
#endif

namespace benchsup {

namespace fs = std::filesystem;

namespace {

int64_t StatusField(const char* name) {
  std::ifstream in("/proc/self/status");
  std::string line;
  const std::string key = std::string(name) + ":";
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) == 0) return static_cast<int64_t>(plat::AtoF(line.substr(key.size()))) * 1024;
  }
  return 0;
}

void Fail(const std::string& what) {
  std::cerr << "bench: " << what << "\n";
  std::exit(2);
}

}  // namespace

int64_t RssNow() { return StatusField("VmRSS"); }
int64_t RssPeak() { return StatusField("VmHWM"); }
void ResetRssPeak() {
  if (std::FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

std::string DataDir() {
  const char* env = std::getenv("OV_BENCH_DATA");
  const std::string dir = env && *env ? env : OV_BENCH_DATA_DEFAULT;
  std::error_code ec;
  fs::create_directories(dir, ec);
  return dir;
}

std::vector<int64_t> Sizes(const std::vector<int64_t>& defaults) {
  const char* env = std::getenv("OV_BENCH_SIZES");
  if (!env || !*env) return defaults;
  std::vector<int64_t> out;
  std::stringstream ss(env);
  std::string item;
  while (std::getline(ss, item, ','))
    if (const double v = plat::AtoF(item); v >= 1) out.push_back(static_cast<int64_t>(v));
  return out.empty() ? defaults : out;
}

int64_t FileBytes(const std::string& path) {
  std::error_code ec;
  const auto n = fs::file_size(path, ec);
  return ec ? 0 : static_cast<int64_t>(n);
}

void WarmPageCache(const std::string& path) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return;
  static char buf[1 << 20];
  while (std::fread(buf, 1, sizeof buf, f) == sizeof buf) {
  }
  std::fclose(f);
}

std::string KeywordFile(int64_t elements) {
  const std::string path = DataDir() + plat::Format("/frame-%lld.dat", static_cast<long long>(elements));
  if (fs::exists(path)) return path;
  std::cerr << "bench: generating " << path << "\n";
  std::string error;
  if (!benchgen::WriteKeywordFile(benchgen::BuildFrame(benchgen::SpecForElements(elements)), path, &error))
    Fail("cannot write " + path + ": " + error);
  return path;
}

std::string InputFile(int64_t elements) {
  const std::string name = plat::Format("frame-%lld", static_cast<long long>(elements));
  const std::string path = DataDir() + "/" + name + ".in";
  if (fs::exists(path)) return path;
  std::cerr << "bench: generating " << path << "\n";
  benchgen::RunOptions opts;
  opts.results = false;
  opts.steps = 1;
  std::string error;
  if (benchgen::WriteRun(benchgen::BuildFrame(benchgen::SpecForElements(elements)), DataDir(), name, opts, &error)
          .empty())
    Fail("cannot write " + path + ": " + error);
  return path;
}

std::string RunInput(int64_t elements, int steps) {
  const std::string dir = DataDir() + plat::Format("/run-%lld-%d", static_cast<long long>(elements), steps);
  const std::string path = dir + "/frame.in";
  // The marker is written last: a run cut short is made again.
  if (fs::exists(dir + "/complete")) return path;
  std::cerr << "bench: generating " << dir << "\n";
  std::error_code ec;
  fs::create_directories(dir, ec);
  benchgen::RunOptions opts;
  opts.steps = steps;
  std::string error;
  if (benchgen::WriteRun(benchgen::BuildFrame(benchgen::SpecForElements(elements)), dir, "frame", opts, &error)
          .empty())
    Fail("cannot write the run in " + dir + ": " + error);
  std::ofstream(dir + "/complete") << "ok\n";
  return path;
}

MemScope::MemScope() : m_heapStart(HeapLive()) {
  ResetHeapPeak();
  ResetRssPeak();
}

void MemScope::Report(benchmark::State& st) const {
  st.counters["peak_heap_MB"] = MB(HeapPeak() - m_heapStart);
  st.counters["peak_rss_MB"] = MB(RssPeak());
}

void ReportElements(benchmark::State& st, int64_t elements) {
  st.counters["elements"] = static_cast<double>(elements);
  st.counters["elem/s"] = benchmark::Counter(static_cast<double>(elements) * static_cast<double>(st.iterations()),
                                             benchmark::Counter::kIsRate);
}

void ForSizes(benchmark::internal::Benchmark* b, const std::vector<int64_t>& sizes) {
  for (int64_t n : sizes) b->Arg(n);
  b->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace benchsup
