// Building the display model (nodes, shells, member lines) and the member
// solids from a loaded, linked model: the keyword data set as the model
// viewer builds it, and the analysis input as both viewers do.
#include <chrono>
#include <memory>

#include "bench/bench_support.h"
#include "dataset/fb_resultset.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "model/beam_records.h"
#include "viewer/display_model.h"

namespace {

using namespace benchsup;
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// One loaded model at a time, kept between the benchmarks of its size.
struct KeywordModel {
  int64_t size = 0;
  std::unique_ptr<CIpDataSet> ds;
  CModelStats stats;
};
struct InputModel {
  int64_t size = 0;
  std::unique_ptr<CFbResultSet> rs;
  CModelStats stats;
};
KeywordModel g_keyword;
InputModel g_input;

const KeywordModel& Keyword(int64_t size) {
  if (g_keyword.size != size) {
    g_input = InputModel{};
    g_keyword = KeywordModel{};
    g_keyword.size = size;
    g_keyword.ds = std::make_unique<CIpDataSet>();
    const std::string path = KeywordFile(size);
    std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
    {
      ColumnModeScope wide(1);
      BeamFormatScope beams(g_nBeamFormat);
      g_keyword.ds->Read(*in);
    }
    g_keyword.ds->LinkNodes();
    g_keyword.ds->BuildPropList();
    g_keyword.ds->CalcElemAxes();
    g_keyword.stats.CountIp(*g_keyword.ds);
  }
  return g_keyword;
}

const InputModel& Input(int64_t size) {
  if (g_input.size != size) {
    g_keyword = KeywordModel{};
    g_input = InputModel{};
    g_input.size = size;
    g_input.rs = std::make_unique<CFbResultSet>();
    const std::string path = InputFile(size);
    std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
    LoadAnalysisInput(*in, path, *g_input.rs, nullptr);
    g_input.rs->m_model.Link();
    g_input.stats.CountFb(g_input.rs->m_model);
  }
  return g_input;
}

template <class T, class A>
int64_t Bytes(const std::vector<T, A>& v) {
  return static_cast<int64_t>(v.capacity() * sizeof(T));
}

// What the display arrays take, per element of the model.
void ReportArrays(benchmark::State& st, const CDispModel& d, int64_t elements) {
  const int64_t nodes = Bytes(d.m_aNodes) + Bytes(d.m_aCurNodes);
  const int64_t faces = Bytes(d.m_aFaces), lines = Bytes(d.m_aLines);
  const int64_t shells = Bytes(d.m_aElems4) + Bytes(d.m_aElems3) + Bytes(d.m_aSolids) + Bytes(d.m_aMats);
  // The corner array has room for four corners a face; the faces share
  // corners, so most of that room is never touched and costs nothing.
  const int64_t corners = static_cast<int64_t>(d.m_nCorners) * static_cast<int64_t>(sizeof(DispCorner));
  const int64_t total = nodes + faces + corners + lines + shells;
  st.counters["display_MB"] = MB(total);
  st.counters["display_B/elem"] = static_cast<double>(total) / static_cast<double>(std::max<int64_t>(1, elements));
  st.counters["faces_MB"] = MB(faces);
  st.counters["corners_used_MB"] = MB(corners);
  // Room that is never filled is never touched: what the filled faces take.
  st.counters["faces_used_MB"] = MB(static_cast<int64_t>(d.m_nFaces) * static_cast<int64_t>(sizeof(DispFace)));
  st.counters["lines_MB"] = MB(lines);
  st.counters["nodes_MB"] = MB(nodes);
  st.counters["faces"] = d.m_nFaces;
}

template <class Model, class Build>
void RunBuild(benchmark::State& st, const Model& m, int64_t elements, const ArcCounts& arcs, Build&& build) {
  MemScope mem;
  double stage[4] = {0, 0, 0, 0};
  std::unique_ptr<CDispModel> last;
  for (auto _ : st) {
    st.PauseTiming();
    last.reset();
    auto doc = std::make_unique<CDispModel>();
    SetDefaultColorTable(doc->m_colorTable);
    st.ResumeTiming();
    const auto t0 = Clock::now();
    if (!doc->AllocDisplayArrays(m.stats, arcs)) st.SkipWithError("display arrays refused");
    const auto t1 = Clock::now();
    build(*doc, stage);
    stage[0] += Ms(t1 - t0);
    st.PauseTiming();
    last = std::move(doc);
    st.ResumeTiming();
  }
  ReportElements(st, elements);
  mem.Report(st);
  const double n = static_cast<double>(st.iterations());
  st.counters["alloc_ms"] = stage[0] / n;
  st.counters["nodes_shells_ms"] = stage[1] / n;
  st.counters["lines_ms"] = stage[2] / n;
  st.counters["solids_ms"] = stage[3] / n;
  if (last) ReportArrays(st, *last, elements);
}

void BM_DisplayKeyword(benchmark::State& st) {
  const KeywordModel& m = Keyword(st.range(0));
  const CIpDataSet& ds = *m.ds;
  const ArcCounts arcs = CDispModel::CountArcParts(ds);
  RunBuild(st, m, ds.m_Elems.GetCount() + ds.m_Quads.GetCount(), arcs, [&](CDispModel& doc, double* stage) {
    const auto t0 = Clock::now();
    doc.BuildNodesAndShells(ds);
    const auto t1 = Clock::now();
    doc.BuildLineMembers(ds);
    const auto t2 = Clock::now();
    doc.BuildMemberSolids(ds);
    const auto t3 = Clock::now();
    stage[1] += Ms(t1 - t0);
    stage[2] += Ms(t2 - t1);
    stage[3] += Ms(t3 - t2);
  });
}

void BM_DisplayInput(benchmark::State& st) {
  const InputModel& m = Input(st.range(0));
  const CFbModel& model = m.rs->m_model;
  const ArcCounts arcs = CDispModel::CountArcParts(model);
  RunBuild(st, m, model.m_aElems.GetCount() + model.m_aQuads.GetCount(), arcs, [&](CDispModel& doc, double* stage) {
    const auto t0 = Clock::now();
    doc.BuildNodesAndShellsIn(model);
    const auto t1 = Clock::now();
    doc.BuildLineMembersIn(model);
    const auto t2 = Clock::now();
    doc.BuildMemberSolidsIn(model);
    const auto t3 = Clock::now();
    stage[1] += Ms(t1 - t0);
    stage[2] += Ms(t2 - t1);
    stage[3] += Ms(t3 - t2);
  });
}

const std::vector<int64_t> kSizes = Sizes({10000, 100000, 1000000});

}  // namespace

BENCHMARK(BM_DisplayKeyword)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_DisplayInput)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });

BENCHMARK_MAIN();
