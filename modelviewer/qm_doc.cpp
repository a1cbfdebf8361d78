#include "modelviewer/qm_doc.h"

#include <atomic>
#include <chrono>
#include <exception>
#include <filesystem>
#include <new>
#include <type_traits>

#include <QCoreApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPixmapCache>
#include <QThread>

#include "model/beam_records.h"
#include "model/fem_input.h"
#include "modelviewer/data/elem_color_file.h"
#include "platform/heap.h"
#include "platform/paths.h"
#include "platform/text_lines.h"
#include "viewer/color_table.h"
#include "viewer/gl/gl_scene.h"

namespace {

std::atomic<int> g_nDocCounter{0};

// The loaders' memory message.
constexpr const char* kNoMemory = "ﾒﾓﾘｵｰﾊﾞｰです\n";

std::string AbsolutePath(const std::string& path) {
  std::error_code ec;
  std::filesystem::path p = std::filesystem::absolute(path, ec);
  if (ec) return path;
  return p.lexically_normal().string();
}

}  // namespace

DocBranch BranchOfPath(const std::string& path) {
  const std::string ext = plat::LowerExtension(path);
  if (ext == ".grid") return DocBranch::kGrid;
  if (ext == ".dat" || ext == ".da_") return DocBranch::kKeyword;
  if (ext == ".in") return DocBranch::kInput;
  return DocBranch::kNone;
}

std::string OpenErrorText(const std::string& path, const std::string& reason) {
  return path + "：ファイルオープンエラー\r\n" + reason;
}

std::string NoRecordText(const std::string& path) {
  return path + "のﾌｧｲﾙ内容が不足しています\n読み込めるﾃﾞｰﾀがありません";
}

QmDoc::QmDoc() : m_nDocSerial(g_nDocCounter.fetch_add(1)) {
  // The model viewer shows no displacement: its nodes stay where they are
  // (the grid branch fills current nodes of its own).
  m_bCurrentNodes = false;
}

QmDoc::~QmDoc() {
  // The model goes before the trim, so that its pages go back to the
  // system with the document rather than staying resident for reuse.
  MakeEmpty();
  m_resultSet.Reset();
  // Qt's pixmap cache keeps every icon a closed window or the Open dialog
  // drew, under a new key each time, until its 10 MB limit: without this a
  // session grows by some 40 kB a document. What is still shown is drawn
  // again as it was.
  QPixmapCache::clear();
  plat::ReturnFreeHeap();
}

void QmDoc::SetPathNames(const std::string& path) {
  const plat::SplitPathResult parts = plat::SplitPath(AbsolutePath(path));
  m_szFolder = parts.dir;
  m_szName = parts.name;
  m_szStemPath = parts.dir + parts.name;
}

void QmDoc::PrepareLoad(const std::string& path) {
  m_strPath = AbsolutePath(path);
  SetPathNames(m_strPath);
  m_branch = BranchOfPath(m_strPath);
}

int QmDoc::SetDefaultColorTable() {
  ::SetDefaultColorTable(m_colorTable);
  for (int j = 0; j < m_nMats && j < static_cast<int>(m_aMats.size()); ++j)
    SetMaterial(j, m_aMats[static_cast<size_t>(j)].nNo);
  return m_colorTable.m_nColors;
}

template <class Model>
void QmDoc::BuildDisplay(const Model& model, std::vector<DocMessage>& msgs) {
  std::string error;
  if (!AllocDisplayArrays(m_stats, CountArcParts(model), &error)) {
    // Half a display model would draw from arrays that were refused.
    FreeDisplayArrays(false);
    msgs.push_back({kNoMemory + error, MsgIcon::kStop});
    return;
  }
  if constexpr (std::is_same_v<Model, CIpDataSet>) {
    BuildNodesAndShells(model);
    BuildLineMembers(model);
    BuildMemberSolids(model);
  } else {
    BuildNodesAndShellsIn(model);
    BuildLineMembersIn(model);
    BuildMemberSolidsIn(model);
  }
}

bool QmDoc::ReadModelFile(CIpDataSet& ds, const std::string& path, std::vector<DocMessage>& msgs,
                          const std::atomic<bool>* cancel) {
  std::string reason;
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path, &reason);
  if (!in) {
    msgs.push_back({OpenErrorText(path, reason), MsgIcon::kStop});
    return false;
  }
  in->SetCancel(cancel);
  ds.RemoveAll();
  {
    // Both switches are per thread: the UI thread's formatting is untouched.
    ColumnModeScope wide(1);
    BeamFormatScope beams(g_nBeamFormat);
    ds.Read(*in);
  }
  if (!ds.Messages().empty()) {
    std::string text;
    for (const std::string& m : ds.Messages()) {
      if (!text.empty()) text += "\n";
      text += m;
    }
    msgs.push_back({text, MsgIcon::kWarning});
  }
  // A line too long has been told; CR-only line ends or a damaged keyword
  // line would otherwise open an empty model without a word.
  if (!in->Cancelled() && in->Refusal().empty() && ds.HoldsNoRecord())
    msgs.push_back({NoRecordText(path), MsgIcon::kWarning});
  return true;
}

namespace {

// Seconds since the last lap (or the start).
class StepClock {
 public:
  double Lap() {
    const auto now = std::chrono::steady_clock::now();
    const double s = std::chrono::duration<double>(now - m_last).count();
    m_last = now;
    return s;
  }

 private:
  std::chrono::steady_clock::time_point m_last = std::chrono::steady_clock::now();
};

// A wait cursor while the UI thread reads or writes a whole model.
class WaitCursor {
 public:
  WaitCursor() {
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    m_bOn = app && QThread::currentThread() == app->thread();
    if (m_bOn) QGuiApplication::setOverrideCursor(Qt::WaitCursor);
  }
  ~WaitCursor() {
    if (m_bOn) QGuiApplication::restoreOverrideCursor();
  }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  bool m_bOn = false;
};

}  // namespace

void QmDoc::SerializeModel(CArchiveIn& ar) {
  WaitCursor wait;
  m_dataSet.RemoveAll();
  ColumnModeScope wide(1);
  BeamFormatScope beams(g_nBeamFormat);
  m_dataSet.Read(ar);
}

void QmDoc::SerializeModel(CArchiveOut& ar) {
  WaitCursor wait;
  ColumnModeScope wide(1);
  BeamFormatScope beams(g_nBeamFormat);
  m_dataSet.Write(ar);
}

bool QmDoc::AllocDisplayArrays(const CModelStats& stats, std::string* error) {
  const ArcCounts arcs = m_branch == DocBranch::kInput ? CountArcParts(m_resultSet.m_model)
                                                       : CountArcParts(m_dataSet);
  return CDispModel::AllocDisplayArrays(stats, arcs, error);
}

void QmDoc::LoadDatFile(std::vector<DocMessage>& msgs, const std::atomic<bool>* cancel) {
  LoadColorTableOrDefault(m_szFolder, m_colorTable);
  m_nClrOnes = LoadElemColorFile(m_szStemPath + ".clr", m_aElemColors);

  m_loadSeconds = {};
  StepClock clock;
  // Given up (exit, or the document closed): nothing is shown or told.
  auto givenUp = [&] {
    if (!cancel || !cancel->load()) return false;
    MakeEmpty();
    msgs.clear();
    return true;
  };
  ReadModelFile(m_dataSet, m_strPath, msgs, cancel);
  m_loadSeconds.read = clock.Lap();
  if (givenUp()) return;

  m_dataSet.LinkNodes();
  m_dataSet.BuildPropList();
  m_dataSet.CalcElemAxes();
  if (givenUp()) return;
  const bool counted = m_stats.CountIp(m_dataSet);
  m_loadSeconds.link = clock.Lap();
  if (!counted) {
    FreeDisplayArrays(false);
    msgs.push_back({kNoMemory + m_stats.m_strError, MsgIcon::kStop});
    return;
  }
  BuildDisplay(m_dataSet, msgs);
  m_loadSeconds.build = clock.Lap();
}

void QmDoc::LoadInputFile(CArchiveIn& ar, std::vector<DocMessage>& msgs) {
  LoadColorTableOrDefault(m_szFolder, m_colorTable);

  m_loadSeconds = {};
  StepClock clock;
  std::string msg;
  const int result = LoadAnalysisInput(ar, m_strPath, m_resultSet, &msg);
  if (result != 1) msgs.push_back({msg, MsgIcon::kNone});
  m_loadSeconds.read = clock.Lap();

  m_resultSet.m_model.Link();
  const bool counted = m_stats.CountFb(m_resultSet.m_model);
  m_loadSeconds.link = clock.Lap();
  if (!counted) {
    FreeDisplayArrays(false);
    msgs.push_back({kNoMemory + m_stats.m_strError, MsgIcon::kStop});
    return;
  }
  BuildDisplay(m_resultSet.m_model, msgs);
  m_loadSeconds.build = clock.Lap();
}

void QmDoc::LoadGridFile(std::vector<DocMessage>& msgs) {
  // The readers report on standard output, but for a line too long.
  ReadGridResultSet({"pro", m_strPath, "1", "100.0"}, *this, m_grid);
  for (const std::string& r : m_grid.m_aRefusals) msgs.push_back({r, MsgIcon::kWarning});
}

void QmDoc::MakeEmpty() {
  m_dataSet.RemoveAll();
  m_grid.Clear();
  m_stats.Clear();
  FreeDisplayArrays(true);
}

bool QmDoc::GetSceneValues(SceneValues& values) const {
  if (m_branch != DocBranch::kGrid) return false;
  values = SceneValues{};
  static_assert(sizeof(GridStressRecord) == 15 * sizeof(double));
  values.pRecords = m_grid.m_aStress.empty() ? nullptr : m_grid.m_aStress.front().v;
  values.nRecords = static_cast<int>(m_grid.m_aStress.size());
  for (int i = 0; i < 14; ++i) {
    values.valueMin[i] = m_grid.m_aStressRange[i].min;
    values.valueMax[i] = m_grid.m_aStressRange[i].max;
  }
  for (int i = 0; i < 4; ++i) {
    values.modeMin[i] = m_grid.m_aNodeRange[i].min;
    values.modeMax[i] = m_grid.m_aNodeRange[i].max;
  }
  // The corners of the nodal colour modes take the raw values the ranges
  // were made from (the current nodes hold them scaled), one per current
  // node, which is the array the scene draws. Other modes leave the scene
  // to the nodes' own values.
  const bool nodalMode = m_nColorMode >= kGridFirstNodalMode && m_nColorMode <= kGridColorModeLast;
  if (nodalMode && m_nCurNodes > 0 &&
      m_grid.m_aNodeValues.size() == static_cast<size_t>(m_nCurNodes)) {
    values.pNodeValues = m_grid.m_aNodeValues.data();
    values.nNodeValues = m_nCurNodes;
  }
  return true;
}
