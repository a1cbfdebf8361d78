// Reading an analysis input (.in) into a result set, and linking and
// counting it, as both viewers do when they open one.
#include <chrono>
#include <memory>

#include "bench/bench_support.h"
#include "dataset/fb_resultset.h"
#include "dataset/model_stats.h"

namespace {

using namespace benchsup;
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::unique_ptr<CFbResultSet> Load(const std::string& path) {
  auto rs = std::make_unique<CFbResultSet>();
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
  std::string msg;
  if (LoadAnalysisInput(*in, path, *rs, &msg) != 1) {
    std::fprintf(stderr, "bench: %s did not load: %s\n", path.c_str(), msg.c_str());
    std::exit(2);
  }
  return rs;
}

int64_t Elements(const CFbModel& m) { return m.m_aElems.GetCount() + m.m_aQuads.GetCount(); }

void BM_ReadInput(benchmark::State& st) {
  const std::string path = InputFile(st.range(0));
  const int64_t bytes = FileBytes(path);
  WarmPageCache(path);
  MemScope mem;
  int64_t elements = 0, retained = 0;
  for (auto _ : st) {
    const int64_t before = HeapLive();
    std::unique_ptr<CFbResultSet> rs = Load(path);
    st.PauseTiming();
    retained = HeapLive() - before;
    elements = Elements(rs->m_model);
    rs.reset();
    st.ResumeTiming();
  }
  st.SetBytesProcessed(bytes * st.iterations());
  ReportElements(st, elements);
  mem.Report(st);
  st.counters["records_MB"] = MB(retained);
  st.counters["records/file"] = static_cast<double>(retained) / static_cast<double>(bytes);
  st.counters["file_MB"] = MB(bytes);
}

void BM_LinkInput(benchmark::State& st) {
  const std::string path = InputFile(st.range(0));
  MemScope mem;
  int64_t elements = 0;
  double linkMs = 0, countMs = 0;
  for (auto _ : st) {
    st.PauseTiming();
    std::unique_ptr<CFbResultSet> rs = Load(path);
    elements = Elements(rs->m_model);
    st.ResumeTiming();
    const auto t0 = Clock::now();
    rs->m_model.Link();
    const auto t1 = Clock::now();
    CModelStats stats;
    benchmark::DoNotOptimize(stats.CountFb(rs->m_model));
    const auto t2 = Clock::now();
    st.PauseTiming();
    linkMs += Ms(t1 - t0);
    countMs += Ms(t2 - t1);
    rs.reset();
    st.ResumeTiming();
  }
  ReportElements(st, elements);
  mem.Report(st);
  st.counters["link_ms"] = linkMs / static_cast<double>(st.iterations());
  st.counters["count_ms"] = countMs / static_cast<double>(st.iterations());
}

const std::vector<int64_t> kSizes = Sizes({10000, 100000, 1000000});

}  // namespace

BENCHMARK(BM_ReadInput)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_LinkInput)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });

BENCHMARK_MAIN();
