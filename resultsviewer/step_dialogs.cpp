#include "resultsviewer/step_dialogs.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QShowEvent>
#include <QVBoxLayout>
#include <algorithm>

#include "dataset/fb_resultset.h"
#include "platform/numbers.h"
#include "resultsviewer/ui_hooks.h"

const char* const kStressNames[4] = {"直応力", "ｙ方向せん断応力", "ｚ方向せん断応力", "弾塑性状態"};
const char* const kStrainNames[4] = {"直ひずみ", "ｙ方向せん断ひずみ", "ｚ方向せん断ひずみ", "弾塑性状態"};
const char* const kForceNames[12] = {
    "軸力(I)",           "ｙ方向せん断力(I)",     "ｚ方向せん断力(I)",     "ねじりモーメント(I)",
    "ｙ方向曲げモーメント(I)", "ｚ方向曲げモーメント(I)", "軸力(J)",           "ｙ方向せん断力(J)",
    "ｚ方向せん断力(J)",     "ねじりモーメント(J)",   "ｙ方向曲げモーメント(J)", "ｚ方向曲げモーメント(J)"};

namespace {

QString U(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }
QString U(const char* s) { return QString::fromUtf8(s); }
std::string Std(const QString& s) { return s.toUtf8().toStdString(); }

void FillSteps(QComboBox* combo, const StepList& list) {
  combo->clear();
  for (const std::string& t : list.texts) combo->addItem(U(t));
}

// Takes the chosen step into the dialog's members; false without one.
bool TakeStep(QComboBox* combo, int listKind, int& index, std::string& text) {
  index = combo->currentIndex();
  if (index < 0) return false;
  text = Std(combo->itemText(index));
  if (listKind == 1) text += " (sec)";
  return true;
}

QPushButton* AddButtons(QDialog* dlg, QVBoxLayout* layout) {
  auto* box = new QDialogButtonBox(dlg);
  QPushButton* ok = box->addButton(QStringLiteral("OK"), QDialogButtonBox::AcceptRole);
  box->addButton(U("キャンセル"), QDialogButtonBox::RejectRole);
  ok->setDefault(true);
  QObject::connect(box, &QDialogButtonBox::accepted, dlg, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dlg, &QDialog::reject);
  layout->addWidget(box);
  return ok;
}

}  // namespace

StepList MakeStepList(const CFbResultSet& rs) {
  StepList list;
  const CFbModel& m = rs.m_model;
  switch (m.m_nAnaType) {
    case 1:
      list.kind = 0;
      list.known = true;
      for (int i = 0; i < rs.m_nMaxStep; ++i) {
        int c = 0, s = 0;
        if (!m.GetCaseStep(i, c, s)) break;
        list.texts.push_back(plat::Format("ケース %3d ／ ステップ %3d", c, s));
      }
      break;
    case 2: {
      list.kind = 1;
      list.known = true;
      const int n = std::min(rs.m_nMaxStep, rs.m_aTimes.GetCount());
      for (int i = 0; i < n && i / 1024 < 1024; ++i) {
        const CFbTime* t = rs.m_aTimes.GetAt(i);
        if (!t || t->m_fTime < 0) break;
        list.texts.push_back(plat::Format("%10.3f", static_cast<double>(t->m_fTime)));
      }
      break;
    }
    case 3:
      list.kind = 2;
      list.known = true;
      for (int i = 1; i <= m.m_nModeCount; ++i) list.texts.push_back(plat::Format("モード %4d 次", i));
      break;
    default:
      break;
  }
  return list;
}

int PresetEntry(int preset, int count) {
  if (count < 1) return -1;
  return preset >= 0 && preset < count ? preset : 0;
}

// ---------------------------------------------------------------------------

SelectStepDlg::SelectStepDlg(CFbResultSet* rs, QWidget* parent) : QDialog(parent), m_pResultSet(rs) {
  setWindowTitle(U("変位図"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(U("ステップの選択"), this), 0, 0);
  m_pStep = new QComboBox(this);
  m_pStep->setObjectName(QStringLiteral("step"));
  m_pStep->setMinimumContentsLength(24);
  grid->addWidget(m_pStep, 0, 1);
  grid->addWidget(new QLabel(U("変形倍率"), this), 1, 0);
  m_pScale = new QLineEdit(this);
  m_pScale->setObjectName(QStringLiteral("scale"));
  grid->addWidget(m_pScale, 1, 1);
  layout->addLayout(grid);
  m_pOk = AddButtons(this, layout);
  connect(m_pStep, qOverload<int>(&QComboBox::currentIndexChanged), this, &SelectStepDlg::OnCbnSelchangeCombo);
}

void SelectStepDlg::OnCbnSelchangeCombo() { m_nStepIndex = m_pStep->currentIndex(); }

void SelectStepDlg::showEvent(QShowEvent* event) {
  if (!m_bInit) {
    m_bInit = true;
    OnInitDialog();
  }
  QDialog::showEvent(event);
}

void SelectStepDlg::OnInitDialog() {
  const StepList list = m_pResultSet ? MakeStepList(*m_pResultSet) : StepList{};
  const int preset = m_nStepIndex;
  m_nListKind = list.kind;
  if (!list.known) {
    varnek::MessageBox(this, "解析ﾀｲﾌﾟが不明です。");
  } else {
    const QSignalBlocker block(m_pStep);
    FillSteps(m_pStep, list);
    m_nStepIndex = PresetEntry(preset, m_pStep->count());
    m_pStep->setCurrentIndex(m_nStepIndex);
  }
  m_pScale->setText(U(plat::Format("%f", m_dScale)));
}

void SelectStepDlg::accept() {
  if (!TakeStep(m_pStep, m_nListKind, m_nStepIndex, m_szStepText)) {
    reject();
    return;
  }
  m_dScale = plat::AtoF(Std(m_pScale->text()));
  QDialog::accept();
}

// ---------------------------------------------------------------------------

SelectStepStreDlg::SelectStepStreDlg(CFbResultSet* rs, int diagramKind, QWidget* parent)
    : QDialog(parent), m_pResultSet(rs), m_nDiagramKind(diagramKind) {
  setWindowTitle(U("応力分布図"));
  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout;
  grid->addWidget(new QLabel(U("ステップの選択"), this), 0, 0);
  m_pStep = new QComboBox(this);
  m_pStep->setObjectName(QStringLiteral("step"));
  m_pStep->setMinimumContentsLength(24);
  grid->addWidget(m_pStep, 0, 1);
  grid->addWidget(new QLabel(U("着目成分の選択"), this), 1, 0);
  m_pComponent = new QComboBox(this);
  m_pComponent->setObjectName(QStringLiteral("component"));
  grid->addWidget(m_pComponent, 1, 1);
  layout->addLayout(grid);
  m_pOk = AddButtons(this, layout);
}

void SelectStepStreDlg::showEvent(QShowEvent* event) {
  if (!m_bInit) {
    m_bInit = true;
    OnInitDialog();
  }
  QDialog::showEvent(event);
}

void SelectStepStreDlg::OnInitDialog() {
  switch (m_nDiagramKind) {
    case kDiagramFiberStress:
    case kDiagramShellStress:
      setWindowTitle(U("応力分布図"));
      break;
    case kDiagramFiberStrain:
    case kDiagramShellStrain:
      setWindowTitle(U("ひずみ分布図"));
      break;
    case kDiagramSectionForce:
      setWindowTitle(U("断面力分布図"));
      break;
    default:
      break;
  }
  m_pComponent->clear();
  switch (m_nDiagramKind) {
    case kDiagramFiberStress:
    case kDiagramShellStress:
      for (int k = 0; k < 3; ++k) m_pComponent->addItem(U(kStressNames[k]));
      break;
    case kDiagramFiberStrain:
    case kDiagramShellStrain:
      for (int k = 0; k < 3; ++k) m_pComponent->addItem(U(kStrainNames[k]));
      break;
    case kDiagramSectionForce:
      for (const char* name : kForceNames) m_pComponent->addItem(U(name));
      break;
    default:
      break;
  }
  if (m_nComponent < 0) m_nComponent = 0;
  m_pComponent->setCurrentIndex(m_nComponent < m_pComponent->count() ? m_nComponent : 0);

  const int type = m_pResultSet ? m_pResultSet->m_model.m_nAnaType : 0;
  if (type == 1 || type == 2) {
    const StepList list = MakeStepList(*m_pResultSet);
    m_nListKind = list.kind;
    FillSteps(m_pStep, list);
    m_nStepIndex = PresetEntry(m_nStepIndex, m_pStep->count());
    m_pStep->setCurrentIndex(m_nStepIndex);
  } else if (type == 3) {
    // Eigen runs have no values to show.
    m_nListKind = 2;
    m_pOk->setEnabled(false);
  } else {
    varnek::MessageBox(this, "解析ﾀｲﾌﾟが不明です。");
  }
}

void SelectStepStreDlg::accept() {
  if (!m_pOk->isEnabled() || !TakeStep(m_pStep, m_nListKind, m_nStepIndex, m_szStepText)) {
    reject();
    return;
  }
  m_nComponent = std::max(0, m_pComponent->currentIndex());
  QDialog::accept();
}
