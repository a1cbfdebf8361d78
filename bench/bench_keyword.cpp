// Reading a keyword data file into a data set, and linking and counting it,
// as the model viewer's loading worker does.
#include <chrono>
#include <memory>

#include "bench/bench_support.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "model/beam_records.h"

namespace {

using namespace benchsup;
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

std::unique_ptr<CIpDataSet> ReadFile(const std::string& path) {
  auto ds = std::make_unique<CIpDataSet>();
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
  ColumnModeScope wide(1);
  BeamFormatScope beams(g_nBeamFormat);
  ds->Read(*in);
  return ds;
}

int64_t Elements(const CIpDataSet& ds) { return ds.m_Elems.GetCount() + ds.m_Quads.GetCount(); }

void BM_ReadKeyword(benchmark::State& st) {
  const std::string path = KeywordFile(st.range(0));
  const int64_t bytes = FileBytes(path);
  WarmPageCache(path);
  MemScope mem;
  int64_t elements = 0, retained = 0;
  for (auto _ : st) {
    const int64_t before = HeapLive();
    std::unique_ptr<CIpDataSet> ds = ReadFile(path);
    st.PauseTiming();
    retained = HeapLive() - before;
    elements = Elements(*ds);
    ds.reset();
    st.ResumeTiming();
  }
  st.SetBytesProcessed(bytes * st.iterations());
  ReportElements(st, elements);
  mem.Report(st);
  // What the loaded records keep, against the size of the file.
  st.counters["records_MB"] = MB(retained);
  st.counters["records/file"] = static_cast<double>(retained) / static_cast<double>(bytes);
  st.counters["file_MB"] = MB(bytes);
}

void BM_LinkKeyword(benchmark::State& st) {
  const std::string path = KeywordFile(st.range(0));
  MemScope mem;
  int64_t elements = 0;
  double stage[5] = {0, 0, 0, 0, 0};
  for (auto _ : st) {
    st.PauseTiming();
    std::unique_ptr<CIpDataSet> ds = ReadFile(path);
    elements = Elements(*ds);
    // A bare walk over the element records and their node records: the
    // memory cost that every linking pass pays, for comparison.
    const auto w0 = Clock::now();
    int64_t sum = 0;
    const int n = ds->m_Elems.GetCount();
    for (int i = 0; i < n; ++i)
      if (const CIpElem* e = ds->m_Elems.GetRecord(i)) sum += e->m_nNodeI + e->m_nNodeJ + e->m_nProp;
    benchmark::DoNotOptimize(sum);
    stage[4] += Ms(Clock::now() - w0);
    st.ResumeTiming();
    const auto t0 = Clock::now();
    ds->LinkNodes();
    const auto t1 = Clock::now();
    ds->BuildPropList();
    const auto t2 = Clock::now();
    ds->CalcElemAxes();
    const auto t3 = Clock::now();
    CModelStats stats;
    benchmark::DoNotOptimize(stats.CountIp(*ds));
    const auto t4 = Clock::now();
    st.PauseTiming();
    stage[0] += Ms(t1 - t0);
    stage[1] += Ms(t2 - t1);
    stage[2] += Ms(t3 - t2);
    stage[3] += Ms(t4 - t3);
    ds.reset();
    st.ResumeTiming();
  }
  ReportElements(st, elements);
  mem.Report(st);
  const double n = static_cast<double>(st.iterations());
  st.counters["nodes_ms"] = stage[0] / n;
  st.counters["props_ms"] = stage[1] / n;
  st.counters["axes_ms"] = stage[2] / n;
  st.counters["count_ms"] = stage[3] / n;
  st.counters["walk_ms"] = stage[4] / n;
}

const std::vector<int64_t> kSizes = Sizes({10000, 100000, 1000000});

}  // namespace

BENCHMARK(BM_ReadKeyword)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_LinkKeyword)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });

BENCHMARK_MAIN();
