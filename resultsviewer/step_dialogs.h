// The step dialogs of the diagrams: the deformation dialog (step, time or
// mode, and the deformation scale) and the value dialog (step or time, and
// the component), with the component name tables.
#pragma once
#include <QDialog>
#include <string>
#include <vector>

class CFbResultSet;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// Component names (UTF-8): the lists offer the first three stress or strain
// names; the section forces in the column order of the end-force table.
extern const char* const kStressNames[4];
extern const char* const kStrainNames[4];
extern const char* const kForceNames[12];

// Kinds of the value dialog.
enum DiagramKind {
  kDiagramFiberStress = 0,
  kDiagramFiberStrain = 1,
  kDiagramSectionForce = 2,
  kDiagramShellStress = 3,
  kDiagramShellStrain = 4,  // offers and titles the strain names
};

// The step list of a run: 0 case and step, 1 time, 2 mode.
struct StepList {
  int kind = 0;
  bool known = false;  // the analysis type is 1, 2 or 3
  std::vector<std::string> texts;
};
// Static: "ケース %3d ／ ステップ %3d" while positions map to a pair;
// dynamic: "%10.3f" of each time up to the step count, stopping at a missing
// or negative time; eigen: "モード %4d 次" for each mode.
StepList MakeStepList(const CFbResultSet& rs);

// The list entry a dialog starts on: the preset when it lies in the list,
// else entry 0 (-1 for an empty list).
int PresetEntry(int preset, int count);

// Deformation dialog ("変位図").
class SelectStepDlg : public QDialog {
  Q_OBJECT

 public:
  explicit SelectStepDlg(CFbResultSet* rs, QWidget* parent = nullptr);

  CFbResultSet* m_pResultSet;
  int m_nStepIndex = -1;  // entry chosen; -1 = none preselected
  double m_dScale = 1.0;
  std::string m_szStepText;
  int m_nListKind = 0;

  QComboBox* StepCombo() const { return m_pStep; }
  QLineEdit* ScaleEdit() const { return m_pScale; }
  QPushButton* OkButton() const { return m_pOk; }

  // OK: takes the entry, its text (" (sec)" added to a time) and the scale
  // (text that is no number gives 0.0). Without an entry it acts as Cancel.
  void accept() override;
  void OnBnClickedOk() { accept(); }
  // A new entry chosen in the step list.
  void OnCbnSelchangeCombo();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnInitDialog();
  bool m_bInit = false;
  QComboBox* m_pStep;
  QLineEdit* m_pScale;
  QPushButton* m_pOk;
};

// Value dialog ("応力分布図"; its caption follows the diagram kind).
class SelectStepStreDlg : public QDialog {
  Q_OBJECT

 public:
  SelectStepStreDlg(CFbResultSet* rs, int diagramKind, QWidget* parent = nullptr);

  CFbResultSet* m_pResultSet;
  int m_nStepIndex = -1;
  double m_dScale = 1.0;  // carried, not shown
  int m_nComponent = 0;
  int m_nDiagramKind = 0;
  std::string m_szStepText;
  int m_nListKind = 0;

  QComboBox* StepCombo() const { return m_pStep; }
  QComboBox* ComponentCombo() const { return m_pComponent; }
  QPushButton* OkButton() const { return m_pOk; }

  void accept() override;
  void OnBnClickedOk() { accept(); }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void OnInitDialog();
  bool m_bInit = false;
  QComboBox* m_pStep;
  QComboBox* m_pComponent;
  QPushButton* m_pOk;
};
