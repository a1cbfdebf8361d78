// The diagram commands: each asks for a step (and a component) in its
// dialog, reads that step of one result file, sets the contour bar from the
// values, rebuilds the geometry with them and switches the display mode.
#include <QDialog>
#include <algorithm>
#include <cmath>
#include <limits>

#include "results/result_readers.h"
#include "resultsviewer/contour_legend.h"
#include "resultsviewer/qm_view.h"
#include "resultsviewer/step_dialogs.h"
#include "resultsviewer/ui_hooks.h"

namespace {

const ContourRgb kRed = {255, 0, 0};
const ContourRgb kBlue = {0, 0, 255};

// Minimum and maximum of one column: from the table's trailing minimum and
// maximum rows when it has them (items + 2 rows), else from its item rows.
void ColumnRange(const CFbOpBlock& table, int items, int column, double& lo, double& hi) {
  const int count = table.GetCount();
  if (count == items + 2 && table.GetAt(count - 2) && table.GetAt(count - 1)) {
    lo = table.GetAt(count - 2)->GetValue(column);
    hi = table.GetAt(count - 1)->GetValue(column);
    return;
  }
  lo = std::numeric_limits<double>::infinity();
  hi = -std::numeric_limits<double>::infinity();
  const int n = std::min(count, items);
  for (int i = 0; i < n; ++i) {
    const CFbOp* rec = table.GetAt(i);
    if (!rec) continue;
    const double v = rec->GetValue(column);
    if (!std::isfinite(v)) continue;
    lo = std::min(lo, v);
    hi = std::max(hi, v);
  }
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
  m_nViewMode = kModeStructure;
  update();
  emit stateChanged();
}

void QmView::ReportReadFailure(int messagesBefore) {
  if (m_nMessages != messagesBefore || !m_pDoc) return;
  const std::string& why = m_pDoc->m_resultSet.m_strLastError;
  varnek::MessageBox(this, why.empty() ? std::string("結果を読めません。") : "結果を読めません。\n" + why);
}

bool QmView::TableComplete(const CFbOpBlock& table, int items, bool minMaxRows, int messagesBefore,
                           const std::string& path) {
  // A reader that met the end of its file has told the user already.
  if (m_nMessages != messagesBefore) return false;
  const long long need = static_cast<long long>(std::max(0, items)) + (minMaxRows ? 2 : 0);
  if (table.GetCount() >= need) return true;
  varnek::MessageBox(this, "選択したステップの結果がファイルにありません。\n" + path);
  return false;
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
  dlg.m_nStepIndex = -1;
  if (m_nLastCase >= 0) dlg.m_nStepIndex = rs.m_model.GetStepIndex(m_nLastCase, m_nLastStep) - 1;
  dlg.m_dScale = doc.m_dDeformScale;
  const int r = varnek::ExecDialog(dlg);
  if (r == -1) {
    varnek::MessageBox(this, "Dialog box could not be created!");
    return;
  }
  if (r != QDialog::Accepted) return;
  int lcase = 0, step = 0;
  if (!rs.m_model.GetCaseStep(dlg.m_nStepIndex, lcase, step)) return;
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
  if (!table) {
    ReportReadFailure(before);
    return;
  }
  if (!TableComplete(*table, rs.m_model.m_nNodes, false, before, rs.ResultPath(type == 3 ? kFbMd : kFbDis)))
    return;
  m_szStepText = dlg.m_szStepText;
  m_nLastCase = lcase;
  m_nLastStep = step;
  doc.BuildElemRecords(table.get(), doc.m_dDeformScale);
  doc.BuildGeometry(table.get(), doc.m_dDeformScale);
  doc.ClearShellValues();
  table.reset();

  m_nViewMode = kModeDeform;
  m_bRebuildResultLists = 1;
  doc.m_nColorMode = 14;
  update();
  emit stateChanged();
}

void QmView::ShowFiberDiagram(int kind) {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepStreDlg dlg(&rs, kind == 0 ? kDiagramFiberStress : kDiagramFiberStrain, this);
  dlg.m_nComponent = 0;
  dlg.m_nStepIndex = -1;
  if (m_nLastCase >= 0) dlg.m_nStepIndex = rs.m_model.GetStepIndex(m_nLastCase, m_nLastStep) - 1;
  dlg.m_dScale = doc.m_dDeformScale;
  const int r = varnek::ExecDialog(dlg);
  if (r == -1) {
    varnek::MessageBox(this, "Dialog box could not be created!");
    return;
  }
  if (r != QDialog::Accepted) return;
  int lcase = 0, step = 0;
  if (!rs.m_model.GetCaseStep(dlg.m_nStepIndex, lcase, step)) return;
  const int k = std::clamp(dlg.m_nComponent, 0, 2);
  const int type = rs.m_model.m_nAnaType;
  if (type != 1 && type != 2) return;
  const int before = m_nMessages;
  FbTablePtr table = ReadFiberResult(rs, lcase, step, kind);
  if (!table) {
    ReportReadFailure(before);
    return;
  }
  const FbFile file = kind == 0 ? kFbSig : kFbEps;
  const bool blocks = type == 2 && rs.m_nBlkStep != 0;
  if (!TableComplete(*table, rs.m_model.m_nFibers, true, before,
                     blocks ? rs.GetBlockFileName(rs.m_model.GetStepIndex(lcase, step), file) : rs.ResultPath(file)))
    return;
  m_szStepText = dlg.m_szStepText;
  m_nLastCase = lcase;
  m_nLastStep = step;
  m_nLastComponent = k;
  m_nLastKind = kind;

  double lo = 0, hi = 0;
  ColumnRange(*table, rs.m_model.m_nFibers, kind == 0 ? k : k + 3, lo, hi);
  SetContourBar(lo, hi, kind == 0 ? kStressNames[k] : kStrainNames[k]);
  doc.BuildElemRecords(nullptr, 0.0);
  doc.BuildFiberFaces(kind, table.get());
  doc.ClearShellValues();
  table.reset();

  m_nViewMode = kind == 0 ? kModeFiberStress : kModeFiberStrain;
  m_bRebuildResultLists = 1;
  doc.m_nColorMode = 0;
  update();
  emit stateChanged();
}

void QmView::ShowSectionForceDiagram() {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepStreDlg dlg(&rs, kDiagramSectionForce, this);
  dlg.m_nComponent = 0;
  dlg.m_nStepIndex = -1;
  if (m_nLastCase >= 0) dlg.m_nStepIndex = rs.m_model.GetStepIndex(m_nLastCase, m_nLastStep) - 1;
  dlg.m_dScale = doc.m_dDeformScale;
  const int r = varnek::ExecDialog(dlg);
  if (r == -1) {
    varnek::MessageBox(this, "Dialog box could not be created!");
    return;
  }
  if (r != QDialog::Accepted) return;
  int lcase = 0, step = 0;
  if (!rs.m_model.GetCaseStep(dlg.m_nStepIndex, lcase, step)) return;
  const int k = std::clamp(dlg.m_nComponent, 0, 11);
  const int type = rs.m_model.m_nAnaType;
  if (type != 1 && type != 2) return;
  const int before = m_nMessages;
  FbTablePtr table = ReadBeamForce(rs, lcase, step);
  if (!table) {
    ReportReadFailure(before);
    return;
  }
  if (!TableComplete(*table, rs.m_model.m_nElems, true, before, rs.ResultPath(kFbFrc))) return;
  m_szStepText = dlg.m_szStepText;
  m_nLastCase = lcase;
  m_nLastStep = step;
  m_nLastComponent = k;
  m_nLastKind = 2;

  double lo = 0, hi = 0;
  ColumnRange(*table, rs.m_model.m_nElems, k, lo, hi);
  SetContourBar(lo, hi, kForceNames[k]);
  doc.BuildBeamForceItems(table.get());
  doc.SetBeamForceValues(table.get());
  doc.ClearShellValues();
  table.reset();

  m_nViewMode = kModeSectionForce;
  m_bRebuildResultLists = 1;
  doc.m_nColorMode = 0;
  update();
  emit stateChanged();
}

void QmView::ShowShellDiagram(int kind) {
  if (!m_pDoc) return;
  QmDoc& doc = *m_pDoc;
  CFbResultSet& rs = doc.m_resultSet;
  SelectStepStreDlg dlg(&rs, kind == 0 ? kDiagramShellStress : kDiagramShellStrain, this);
  dlg.m_nComponent = 0;
  dlg.m_nStepIndex = -1;
  if (m_nLastCase >= 0) dlg.m_nStepIndex = rs.m_model.GetStepIndex(m_nLastCase, m_nLastStep) - 1;
  dlg.m_dScale = doc.m_dDeformScale;
  const int r = varnek::ExecDialog(dlg);
  if (r == -1) {
    varnek::MessageBox(this, "Dialog box could not be created!");
    return;
  }
  if (r != QDialog::Accepted) return;
  int lcase = 0, step = 0;
  if (!rs.m_model.GetCaseStep(dlg.m_nStepIndex, lcase, step)) return;
  const int k = std::clamp(dlg.m_nComponent, 0, 2);
  const int type = rs.m_model.m_nAnaType;
  if (type != 1 && type != 2) return;
  const int before = m_nMessages;
  FbTablePtr table = ReadShellResult(rs, kind, lcase, step);
  if (!table) {
    ReportReadFailure(before);
    return;
  }
  if (!TableComplete(*table, rs.m_model.m_nQuads, false, before,
                     rs.GetBlockFileName(rs.m_model.GetStepIndex(lcase, step), kind == 0 ? kFbSgs : kFbEss)))
    return;
  m_szStepText = dlg.m_szStepText;
  m_nLastCase = lcase;
  m_nLastStep = step;
  m_nLastComponent = k;
  m_nLastKind = kind;

  // The undeformed structure, its shells coloured by their values.
  doc.BuildElemRecords(nullptr, 0.0);
  doc.BuildGeometry(nullptr, 0.0);
  double lo = 0, hi = 0;
  doc.SetShellValues(table.get(), k, lo, hi);
  SetContourBar(lo, hi, kind == 0 ? kStressNames[k] : kStrainNames[k]);
  table.reset();

  m_nViewMode = kModeShell;
  m_bRebuildResultLists = 1;
  doc.m_nColorMode = 0;
  update();
  emit stateChanged();
}
