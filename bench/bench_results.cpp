// Reading one step of node, beam, fibre and shell results into a result
// table, as the results viewer does for a diagram (files in the page cache).
#include <memory>

#include "bench/bench_support.h"
#include "dataset/fb_resultset.h"
#include "results/result_readers.h"
#include "results/word_reader.h"

namespace {

using namespace benchsup;

constexpr int kSteps = 100;
constexpr int kStep = 50;  // the step read: one from the middle of the files

struct Run {
  int64_t size = 0;
  std::unique_ptr<CFbResultSet> rs;
};
Run g_run;

CFbResultSet& RunOf(int64_t size) {
  if (g_run.size != size) {
    g_run = Run{};
    g_run.size = size;
    g_run.rs = std::make_unique<CFbResultSet>();
    const std::string path = RunInput(size, kSteps);
    std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
    std::string msg;
    if (LoadAnalysisInput(*in, path, *g_run.rs, &msg) != 1 || g_run.rs->m_nMaxStep < kStep) {
      std::fprintf(stderr, "bench: run %s did not load (%d steps): %s\n", path.c_str(), g_run.rs->m_nMaxStep,
                   msg.c_str());
      std::exit(2);
    }
    g_run.rs->m_model.Link();
  }
  return *g_run.rs;
}

// Reads the step `reps` times; bytes are the step's payload words.
template <class Read>
void RunStep(benchmark::State& st, FbFile file, int64_t items, Read&& read) {
  CFbResultSet& rs = RunOf(st.range(0));
  const int64_t words = rs.m_aStepWords[file];
  for (int k = 0; k < 2; ++k) read(rs);  // page cache
  MemScope mem;
  int records = 0;
  for (auto _ : st) {
    FbTablePtr t = read(rs);
    if (!t) {
      st.SkipWithError(rs.m_strLastError.c_str());
      break;
    }
    records = t->GetCount();
    st.PauseTiming();
    t.reset();
    st.ResumeTiming();
  }
  st.SetBytesProcessed(words * 4 * st.iterations());
  st.counters["records"] = records;
  st.counters["step_MB"] = MB(words * 4);
  ReportElements(st, items);
  mem.Report(st);
}

void BM_ReadNodeStep(benchmark::State& st) {
  RunStep(st, kFbDis, RunOf(st.range(0)).m_model.m_nNodes,
          [](CFbResultSet& rs) { return ReadNodeResult(rs, 1, kStep); });
}
void BM_ReadBeamStep(benchmark::State& st) {
  RunStep(st, kFbFrc, RunOf(st.range(0)).m_model.m_nElems,
          [](CFbResultSet& rs) { return ReadBeamForce(rs, 1, kStep); });
}
void BM_ReadFiberStep(benchmark::State& st) {
  RunStep(st, kFbSig, RunOf(st.range(0)).m_model.m_nFibers,
          [](CFbResultSet& rs) { return ReadFiberResult(rs, 1, kStep, 0); });
}
void BM_ReadShellStep(benchmark::State& st) {
  RunStep(st, kFbSgs, RunOf(st.range(0)).m_model.m_nQuads,
          [](CFbResultSet& rs) { return ReadShellResult(rs, 0, 1, kStep); });
}

// The words of one fibre-stress step through the result files' word reader
// alone, without making the table: the file access part of the step read.
void BM_FiberStepWords(benchmark::State& st) {
  CFbResultSet& rs = RunOf(st.range(0));
  const int64_t words = rs.m_aStepWords[kFbSig];
  const int64_t start = rs.m_aHeadWords[kFbSig] + (kStep - 1) * words;
  const std::string path = rs.ResultPath(kFbSig);
  WarmPageCache(path);
  for (auto _ : st) {
    plat::BinaryFile file;
    if (!file.Open(path)) {
      st.SkipWithError("cannot open the fibre stress file");
      break;
    }
    ResultWordReader rd(file, rs.m_nRecWords);
    uint32_t sum = 0, raw = 0;
    for (int64_t w = start; w < start + words; ++w)
      if (rd.ReadRaw(w, raw)) sum += raw;
    benchmark::DoNotOptimize(sum);
  }
  st.SetBytesProcessed(words * 4 * st.iterations());
  st.counters["step_MB"] = MB(words * 4);
}

// The fibre step's records alone, made in a table from values already in
// memory: what the table's records cost before any file is read, the bound
// under the whole read's rate.
void BM_FiberRecordsOnly(benchmark::State& st) {
  const int count = RunOf(st.range(0)).m_model.m_nFibers;
  const std::vector<float> values(static_cast<size_t>(count) * 3, 1.5f);
  for (auto _ : st) {
    auto t = std::make_unique<CFbOpBlock>(0x510, 1);
    int k = 0;
    while (k < count) {
      FbFOut* run = nullptr;
      const int n = t->AppendNewRun<FbFOut>(count - k, &run);
      if (n < 1) break;
      for (int j = 0; j < n; ++j, ++k)
        for (int i = 0; i < 3; ++i) run[j].m_adValue[i] = values[static_cast<size_t>(k) * 3 + i];
    }
    benchmark::DoNotOptimize(t.get());
    st.PauseTiming();
    t.reset();
    st.ResumeTiming();
  }
  st.SetBytesProcessed(static_cast<int64_t>(count) * 12 * st.iterations());
}

const std::vector<int64_t> kSizes = Sizes({10000, 100000});

}  // namespace

BENCHMARK(BM_ReadNodeStep)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_ReadBeamStep)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_ReadFiberStep)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_ReadShellStep)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_FiberStepWords)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_FiberRecordsOnly)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });

BENCHMARK_MAIN();
