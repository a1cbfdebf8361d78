// The operation-keys guide: a modeless dialog, one per program, created on
// first use and hidden (never destroyed) by OK and Cancel.
#pragma once
#include <QDialog>
#include <QString>
#include <vector>

#include "viewer/gl/viewer_program.h"

class QPlainTextEdit;

// The guide's lines (97 for Ostrel, 98 for Varnek), without line ends.
const std::vector<const char*>& KeyGuideLines(ViewerProgram program);
// The lines joined into the text of the dialog.
QString KeyGuideText(ViewerProgram program);

class CKeysDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CKeysDlg(ViewerProgram program, QWidget* parent = nullptr);

  QPlainTextEdit* Edit() const { return m_pEdit; }
  ViewerProgram Program() const { return m_program; }

  // The "操作キー一覧" command: creates the program's dialog on first use
  // and fills its text, then shows it (again) and brings it to the front.
  static CKeysDlg* ShowKeys(ViewerProgram program);
  // The one instance, or null before the first use.
  static CKeysDlg* Instance();
  // The application's end: the dialog is destroyed.
  static void DestroyInstance();

 private:
  ViewerProgram m_program;
  QPlainTextEdit* m_pEdit = nullptr;
};
