// The diagram commands: each asks for a step (and a component) in its
// dialog, reads that step of one result file, sets the contour bar from the
// values, rebuilds the geometry with them and switches the display mode.
#include <QDialog>
#include <algorithm>

#include "platform/binary_file.h"
#include "results/result_readers.h"
#include "resultsviewer/contour_legend.h"
#include "resultsviewer/qm_view.h"
#include "resultsviewer/step_dialogs.h"
#include "resultsviewer/ui_hooks.h"

namespace {

const ContourRgb kRed = {255, 0, 0};
const ContourRgb kBlue = {0, 0, 255};

// Whether `path` holds payload word `last` whole. The strain tables are made
// before their file is read and keep 0 in every record their reader could
// not fill; when the file ends at or inside a word of the step the reader
// says nothing, so the view looks at the step's last word itself.
bool WordInFile(const std::string& path, int64_t last, int recWords) {
  plat::BinaryFile f;
  if (last < 0 || recWords < 1 || !f.Open(path)) return false;
  const int64_t off = FbWordOffset(last, recWords);
  return off >= 0 && off <= f.Size() - 4;
}

}  // namespace

bool QmView::CanShowStructure() const {
  if (!m_pDoc) return false;
  const int t = m_pDoc->m_resultSet.m_model.m_nAnaType;
  return t >= 1 && t <= 3;
}

bool QmView::CanShowFiber() const {
  if (!m_pDoc) return false;
  const CFbModel& m = m_pDoc->m_resultSet.m_model;
  return m.m_nFibers > 0 && (m.m_nAnaType == 1 || m.m_nAnaType == 2);
}

bool QmView::CanShowSectionForce() const {
  if (!m_pDoc) return false;
  const CFbModel& m = m_pDoc->m_resultSet.m_model;
  return (m.m_nElems > 0 || m.m_nElems2 > 0) && (m.m_nAnaType == 1 || m.m_nAnaType == 2);
}

bool QmView::CanShowShell() const {
  if (!m_pDoc) return false;
  const CFbModel& m = m_pDoc->m_resultSet.m_model;
  return m.m_nQuads > 0 && (m.m_nAnaType == 1 || m.m_nAnaType == 2);
}

void QmView::OnViewStructure() {
  // A structure drawn directly, or whose lists a diagram gave up, is drawn
  // from the model's geometry, which a diagram has replaced: it is made
  // again as the open made it.
  if (m_pDoc && (Lists().DrawnDirectly(kListStructure) || m_bStructureReleased)) {
    const BusyCursor busy;
    m_pDoc->BuildElemRecords(nullptr, 0.0);
    m_pDoc->BuildGeometry(nullptr, 0.0);
    m_bStructureReleased = false;
    m_bListsFresh = true;
  }
  m_nViewMode = kModeStructure;
  // Its picture is reported as a diagram's (benchmarks time the command).
  m_nSwapReport |= 2;
  update();
  emit stateChanged();
}

int QmView::StepRows(const CFbOpBlock& table, int items, bool minMaxRows, bool unfilled, int messagesBefore,
                     const std::string& path) {
  // A reader that met the end of its file has told the user already.
  const bool told = m_nMessages != messagesBefore;
  const int rows = unfilled ? 0 : ResultDataRows(&table, items, minMaxRows);
  if (rows > 0) return rows;
  if (!told) varnek::MessageBox(this, "選択したステップの結果がファイルにありません。\n" + path);
  return 0;
}

bool QmView::AskStep(QDialog& dlg, int& stepIndex, double& scale, int& lcase, int& step) {
  const CFbModel& model = m_pDoc->m_resultSet.m_model;
  stepIndex = -1;
  if (m_nLastCase >= 0) stepIndex = model.GetStepIndex(m_nLastCase, m_nLastStep) - 1;
  scale = m_pDoc->m_dDeformScale;
  const int r = varnek::ExecDialog(dlg);
  // The keys move the camera again at once, whichever way the dialog ended.
  setFocus(Qt::OtherFocusReason);
  if (r == -1) {
    varnek::MessageBox(this, "Dialog box could not be created!");
    return false;
  }
  if (r != QDialog::Accepted) return false;
  return model.GetCaseStep(stepIndex, lcase, step);
}

bool QmView::AskValueStep(SelectStepStreDlg& dlg, int lastComponent, int& lcase, int& step, int& component) {
  dlg.m_nComponent = 0;
  if (!AskStep(dlg, dlg.m_nStepIndex, dlg.m_dScale, lcase, step)) return false;
  component = std::clamp(dlg.m_nComponent, 0, lastComponent);
  const int type = m_pDoc->m_resultSet.m_model.m_nAnaType;
  return type == 1 || type == 2;
}

void QmView::RememberStep(const std::string& stepText, int lcase, int step) {
  m_szStepText = stepText;
  m_nLastCase = lcase;
  m_nLastStep = step;
}

void QmView::RememberValueStep(const std::string& stepText, int lcase, int step, int component,
                               int kind) {
  RememberStep(stepText, lcase, step);
  m_nLastComponent = component;
  m_nLastKind = kind;
}

void QmView::EnterDiagramMode(int mode, int colorMode) {
  m_nViewMode = mode;
  m_bRebuildResultLists = 1;
  m_pDoc->m_nColorMode = colorMode;
  update();
  emit stateChanged();
}

void QmView::SetContourBar(double lo, double hi, const std::string& title) {
  if (!m_pContourBar) m_pContourBar = MakeDefaultContourBar();
  SanitizeRange(lo, hi);
  m_pContourBar->Init(lo, hi, kRed, kBlue, title);
  m_pContourBar->MakeLevels(m_scene.settings.contour);
}

void QmView::ShowDeformDiagram() {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepDlg dlg(&rs, this);
  int lcase = 0, step = 0;
  if (!AskStep(dlg, dlg.m_nStepIndex, dlg.m_dScale, lcase, step)) return;
  const BusyCursor busy;
  doc.m_dDeformScale = dlg.m_dScale;

  const int before = m_nMessages;
  FbTablePtr table;
  const int type = rs.m_model.m_nAnaType;
  if (type == 1 || type == 2)
    table = ReadNodeResult(rs, lcase, step);
  else if (type == 3)
    table = ReadModeShape(rs, static_cast<unsigned>(lcase));
  else
    return;
  // A reader that finds nothing ends the command silently.
  if (!table) return;
  if (StepRows(*table, rs.m_model.m_nNodes, false, false, before, rs.ResultPath(type == 3 ? kFbMd : kFbDis)) < 1)
    return;
  RememberStep(dlg.m_szStepText, lcase, step);
  doc.BuildElemRecords(table.get(), doc.m_dDeformScale);
  doc.BuildGeometry(table.get(), doc.m_dDeformScale);
  doc.ClearShellValues();
  table.reset();

  EnterDiagramMode(kModeDeform, 14);
}

void QmView::ShowFiberDiagram(int kind) {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepStreDlg dlg(&rs, kind == 0 ? kDiagramFiberStress : kDiagramFiberStrain, this);
  int lcase = 0, step = 0, k = 0;
  if (!AskValueStep(dlg, 2, lcase, step, k)) return;
  const BusyCursor busy;
  const int before = m_nMessages;
  FbTablePtr table = ReadFiberResult(rs, lcase, step, kind);
  if (!table) return;
  const FbFile file = kind == 0 ? kFbSig : kFbEps;
  const bool blocks = rs.m_model.m_nAnaType == 2 && rs.m_nBlkStep != 0;
  const int g = rs.m_model.GetStepIndex(lcase, step);
  const std::string path = blocks ? rs.GetBlockFileName(g, file) : rs.ResultPath(file);
  bool unfilled = false;
  if (kind != 0) {
    // Strain records are made before the file is read: the step must be
    // in the file whole.
    const int64_t start = rs.m_aHeadWords[file] + (blocks ? rs.GetOffset(g, rs.m_aStepWords[file])
                                                          : static_cast<int64_t>(g - 1) * rs.m_aStepWords[file]);
    const int64_t words = static_cast<int64_t>(std::max(0, rs.m_model.m_nFibers)) * (rs.m_bFiberShear ? 3 : 1);
    unfilled = !WordInFile(path, start + words - 1, rs.m_nRecWords);
  }
  const int rows = StepRows(*table, rs.m_model.m_nFibers, false, unfilled, before, path);
  if (rows < 1) return;
  RememberValueStep(dlg.m_szStepText, lcase, step, k, kind);

  double lo = 0, hi = 0;
  ColumnRange(*table, rows, kind == 0 ? k : k + 3, lo, hi);
  SetContourBar(lo, hi, kind == 0 ? kStressNames[k] : kStrainNames[k]);
  doc.BuildElemRecords(nullptr, 0.0);
  doc.BuildFiberFaces(kind, table.get(), k);
  doc.ClearShellValues();
  table.reset();

  EnterDiagramMode(kind == 0 ? kModeFiberStress : kModeFiberStrain, 0);
}

void QmView::ShowSectionForceDiagram() {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepStreDlg dlg(&rs, kDiagramSectionForce, this);
  int lcase = 0, step = 0, k = 0;
  if (!AskValueStep(dlg, 11, lcase, step, k)) return;
  const BusyCursor busy;
  const int before = m_nMessages;
  FbTablePtr table = ReadBeamForce(rs, lcase, step);
  if (!table) return;
  const int rows = StepRows(*table, rs.m_model.m_nElems, true, false, before, rs.ResultPath(kFbFrc));
  if (rows < 1) return;
  RememberValueStep(dlg.m_szStepText, lcase, step, k, 2);

  double lo = 0, hi = 0;
  ColumnRange(*table, rows, k, lo, hi);
  SetContourBar(lo, hi, kForceNames[k]);
  doc.BuildBeamForceItems(table.get());
  doc.SetBeamForceValues(table.get());
  doc.ClearShellValues();
  table.reset();

  EnterDiagramMode(kModeSectionForce, 0);
}

void QmView::ShowShellDiagram(int kind) {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepStreDlg dlg(&rs, kind == 0 ? kDiagramShellStress : kDiagramShellStrain, this);
  int lcase = 0, step = 0, k = 0;
  if (!AskValueStep(dlg, 2, lcase, step, k)) return;
  const BusyCursor busy;
  const int before = m_nMessages;
  FbTablePtr table = ReadShellResult(rs, kind, lcase, step);
  if (!table) return;
  const FbFile file = kind == 0 ? kFbSgs : kFbEss;
  const int g = rs.m_model.GetStepIndex(lcase, step);
  const std::string path = rs.GetBlockFileName(g, file);
  bool unfilled = false;
  if (kind != 0) {
    // Strain records are made before the file is read: the last word read
    // (layer 0, integration point 4, component 6 of the last shell) must be
    // in the file.
    const int64_t stride = static_cast<int64_t>(std::max(0, rs.m_model.m_nLayers)) * 6 * FbQOut::kPoints;
    const int64_t start = rs.m_aHeadWords[file] + rs.GetOffset(g, rs.m_aStepWords[file]);
    const int64_t last = start + static_cast<int64_t>(std::max(0, rs.m_model.m_nQuads) - 1) * stride +
                         6 * FbQOut::kPoints - 1;
    unfilled = !WordInFile(path, last, rs.m_nRecWords);
  }
  if (StepRows(*table, rs.m_model.m_nQuads, false, unfilled, before, path) < 1) return;
  RememberValueStep(dlg.m_szStepText, lcase, step, k, kind);

  // The undeformed structure, its shells coloured by their values.
  doc.BuildElemRecords(nullptr, 0.0);
  doc.BuildGeometry(nullptr, 0.0);
  double lo = 0, hi = 0;
  doc.SetShellValues(table.get(), k, lo, hi);
  SetContourBar(lo, hi, kind == 0 ? kStressNames[k] : kStrainNames[k]);
  table.reset();

  EnterDiagramMode(kModeShell, 0);
}
