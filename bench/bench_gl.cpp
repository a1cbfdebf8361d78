// Compiling the display lists and drawing one frame of the OpenGL scene, and
// the whole way from a keyword data file to the first picture. Runs under
// xvfb with Mesa's software renderer:
//   xvfb-run -a -s "-screen 0 1600x1200x24" build-bench/bench/bench_gl
#include <GL/gl.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <chrono>
#include <memory>

#include "bench/bench_support.h"
#include "dataset/ip_dataset.h"
#include "dataset/model_stats.h"
#include "model/beam_records.h"
#include "platform/numbers.h"
#include "viewer/display_model.h"
#include "viewer/gl/gl_view.h"

namespace {

using namespace benchsup;
using Clock = std::chrono::steady_clock;
double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

constexpr int kWidth = 1200, kHeight = 900;

// The view with its frame work reachable: the GL part of a paint, without
// Qt's compositing, with the context current and the widget's framebuffer
// bound.
class BenchView : public CGlView {
 public:
  // One frame; `fresh` sets the scene up again and compiles every list.
  bool Frame(bool fresh) {
    makeCurrent();
    if (fresh) {
      m_scene.initialised = 0;
      m_scene.InvalidateLists();
    }
    const bool drawn = RenderFrame();
    glFinish();
    doneCurrent();
    return drawn;
  }
};

// The loaded, linked model and its display model, as the model viewer's
// document holds them after loading.
struct Loaded {
  std::unique_ptr<CIpDataSet> ds;
  CModelStats stats;
  std::unique_ptr<CDispModel> doc;
  double readMs = 0, linkMs = 0, displayMs = 0;
};

std::unique_ptr<Loaded> LoadModel(const std::string& path, bool mixedColours = false) {
  auto m = std::make_unique<Loaded>();
  const auto t0 = Clock::now();
  m->ds = std::make_unique<CIpDataSet>();
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path);
  {
    ColumnModeScope wide(1);
    BeamFormatScope beams(g_nBeamFormat);
    m->ds->Read(*in);
  }
  const auto t1 = Clock::now();
  m->ds->LinkNodes();
  m->ds->BuildPropList();
  m->ds->CalcElemAxes();
  m->stats.CountIp(*m->ds);
  const auto t2 = Clock::now();
  m->doc = std::make_unique<CDispModel>();
  SetDefaultColorTable(m->doc->m_colorTable);
  if (mixedColours) {
    // Every colour class from -1 to 4 and both flags, as a colour map would.
    for (int i = 0; i < m->ds->m_Elems.GetCount(); ++i)
      if (const CIpElem* e = m->ds->m_Elems.GetRecord(i))
        m->doc->m_aElemColors.push_back({e->m_nNo, i % 6 - 1, (i / 6) % 2});
    for (int i = 0; i < m->ds->m_Quads.GetCount(); ++i)
      if (const CIpQuad* q = m->ds->m_Quads.GetRecord(i))
        m->doc->m_aElemColors.push_back({q->m_nNo, i % 6 - 1, (i / 3) % 2});
  }
  m->doc->BuildDisplayModel(*m->ds, m->stats);
  const auto t3 = Clock::now();
  m->readMs = Ms(t1 - t0);
  m->linkMs = Ms(t2 - t1);
  m->displayMs = Ms(t3 - t2);
  return m;
}

struct Fixture {
  int64_t size = 0;
  std::unique_ptr<Loaded> model;
  std::unique_ptr<BenchView> view;
  QTemporaryDir programDir;  // no default.viw: the built-in settings
};
Fixture* g_fix = nullptr;

BenchView& ViewOf(int64_t size) {
  if (g_fix->size != size) {
    g_fix->view.reset();
    g_fix->model.reset();
    g_fix->size = size;
    const std::string path = KeywordFile(size);
    g_fix->model = LoadModel(path);
    g_fix->view = std::make_unique<BenchView>();
    g_fix->view->resize(kWidth, kHeight);
    g_fix->view->show();
    QApplication::processEvents();
    SceneFiles files;
    files.programDir = g_fix->programDir.path().toStdString();
    files.dataDir = DataDir();
    files.dataName = plat::Format("frame-%lld", static_cast<long long>(size));
    g_fix->view->SetDocument(g_fix->model->doc.get(), files);
    QApplication::processEvents();
  }
  return *g_fix->view;
}

int64_t Elements() { return g_fix->model->ds->m_Elems.GetCount() + g_fix->model->ds->m_Quads.GetCount(); }

void BM_CompileAndDraw(benchmark::State& st) {
  BenchView& view = ViewOf(st.range(0));
  MemScope mem;
  for (auto _ : st)
    if (!view.Frame(true)) st.SkipWithError("nothing drawn");
  ReportElements(st, Elements());
  mem.Report(st);
  st.counters["faces"] = g_fix->model->doc->m_nFaces;
}

void BM_DrawFrame(benchmark::State& st) {
  BenchView& view = ViewOf(st.range(0));
  view.Frame(true);
  MemScope mem;
  for (auto _ : st)
    if (!view.Frame(false)) st.SkipWithError("nothing drawn");
  ReportElements(st, Elements());
  mem.Report(st);
  st.counters["fps"] = benchmark::Counter(static_cast<double>(st.iterations()), benchmark::Counter::kIsRate);
}

// A frame of the material display with stencil outlines (three passes a
// face), and the memory it takes with its first frame.
void BM_DrawFrameMaterialOutlined(benchmark::State& st) {
  BenchView& view = ViewOf(st.range(0));
  view.Frame(true);  // the settings are read again here
  CGlScene& s = view.Scene();
  const int mode = s.displayMode, stencil = s.settings.stencil;
  s.displayMode = 2;
  s.settings.stencil = 1;
  s.InvalidateLists();
  MemScope mem;
  view.Frame(false);
  for (auto _ : st)
    if (!view.Frame(false)) st.SkipWithError("nothing drawn");
  ReportElements(st, Elements());
  mem.Report(st);
  s.displayMode = mode;
  s.settings.stencil = stencil;
  s.InvalidateLists();
}

// From the file to the first picture: read, link, count, display model,
// scene set-up, list compilation and the first frame, as the model viewer
// does it (less its 100 ms progress timer).
void BM_OpenToFirstPicture(benchmark::State& st) {
  const std::string path = KeywordFile(st.range(0));
  WarmPageCache(path);
  g_fix->view.reset();
  g_fix->model.reset();
  g_fix->size = 0;
  MemScope mem;
  double readMs = 0, linkMs = 0, displayMs = 0, frameMs = 0;
  for (auto _ : st) {
    std::unique_ptr<Loaded> m = LoadModel(path);
    const auto t0 = Clock::now();
    auto view = std::make_unique<BenchView>();
    view->resize(kWidth, kHeight);
    view->show();
    QApplication::processEvents();
    SceneFiles files;
    files.programDir = g_fix->programDir.path().toStdString();
    files.dataDir = DataDir();
    view->SetDocument(m->doc.get(), files);
    if (!view->Frame(true)) st.SkipWithError("nothing drawn");
    frameMs += Ms(Clock::now() - t0);
    readMs += m->readMs;
    linkMs += m->linkMs;
    displayMs += m->displayMs;
    st.PauseTiming();
    view.reset();
    m.reset();
    st.ResumeTiming();
  }
  const double n = static_cast<double>(st.iterations());
  st.counters["read_ms"] = readMs / n;
  st.counters["link_ms"] = linkMs / n;
  st.counters["display_ms"] = displayMs / n;
  st.counters["first_frame_ms"] = frameMs / n;
  mem.Report(st);
}

const std::vector<int64_t> kSizes = Sizes({10000, 100000});

}  // namespace

BENCHMARK(BM_CompileAndDraw)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_DrawFrame)->Apply([](benchmark::internal::Benchmark* b) { ForSizes(b, kSizes); });
BENCHMARK(BM_DrawFrameMaterialOutlined)->Apply([](benchmark::internal::Benchmark* b) {
  ForSizes(b, kSizes);
  b->Iterations(3);
});
BENCHMARK(BM_OpenToFirstPicture)->Apply([](benchmark::internal::Benchmark* b) {
  ForSizes(b, kSizes);
  b->Iterations(1);
});

// --pictures DIR FILE...: the pictures of each keyword file in the display
// modes, and what a pick in the middle finds, written into DIR (for
// comparing pictures before and after a change of the drawing).
int Pictures(const QString& dir, const QStringList& files) {
  QTemporaryDir programDir;
  QFile picks(dir + "/picks.txt");
  if (!picks.open(QIODevice::WriteOnly | QIODevice::Text)) return 1;
  for (const QString& file : files) {
    std::unique_ptr<Loaded> m = LoadModel(file.toStdString(), true);
    BenchView view;
    view.resize(640, 480);
    view.show();
    QApplication::processEvents();
    SceneFiles sf;
    sf.programDir = programDir.path().toStdString();
    view.SetDocument(m->doc.get(), sf);
    const QString stem = dir + "/" + QFileInfo(file).completeBaseName();
    CGlScene& s = view.Scene();
    struct Shot {
      const char* name;
      int mode, surfaces, stencil;
      double turn;
      double dolly = 0;
    };
    const Shot shots[] = {{"normal", 0, 1, 0, 0},        {"flagged", 1, 1, 0, 0},
                          {"material", 2, 1, 0, 0},      {"edges", 0, 0, 0, 0},
                          {"outlined", 0, 1, 1, 0},      {"mat-outlined", 2, 1, 1, 0},
                          {"turned", 0, 1, 0, 35},       {"far", 0, 1, 0, 0, -8},
                          {"far-flagged", 1, 1, 0, 0, -8}, {"far-material", 2, 1, 0, 0, -8},
                          {"far-edges", 0, 0, 0, 0, -8}};
    for (const Shot& shot : shots) {
      view.grabFramebuffer();  // set up
      s.displayMode = shot.mode;
      s.surfacesOn = static_cast<unsigned char>(shot.surfaces);
      s.settings.stencil = shot.stencil;
      if (shot.turn != 0) s.RotateDeg(shot.turn, shot.turn / 2);
      if (shot.dolly != 0) s.Dolly(shot.dolly, true);
      s.InvalidateLists();
      view.grabFramebuffer().save(stem + "-" + shot.name + ".png");
      for (const QPoint p : {QPoint(320, 240), QPoint(300, 200), QPoint(350, 260)}) {
        view.RequestPick(p);
        view.grabFramebuffer();
        const PickResult r = s.lastPick;
        picks.write(QString("%1 %2 %3,%4: hit %5 name %6 elem %7 mat %8\n")
                        .arg(QFileInfo(file).fileName(), shot.name)
                        .arg(p.x()).arg(p.y()).arg(r.hit).arg(r.name).arg(r.elem).arg(r.mat)
                        .toUtf8());
      }
      if (shot.turn != 0) s.RotateDeg(-shot.turn, -shot.turn / 2);
      if (shot.dolly != 0) s.Dolly(-shot.dolly, true);
    }
  }
  return 0;
}

int main(int argc, char** argv) {
  QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat());
  QApplication app(argc, argv);
  if (argc >= 3 && QString(argv[1]) == "--pictures") {
    QStringList files;
    for (int i = 3; i < argc; ++i) files << argv[i];
    return Pictures(argv[2], files);
  }
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  Fixture fix;
  g_fix = &fix;
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  g_fix = nullptr;
  return 0;
}
