// The about box ("バージョン情報"): the program's title and version, modal.
#pragma once
#include <QDialog>

#include "viewer/gl/viewer_program.h"

class CAboutDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CAboutDlg(ViewerProgram program, QWidget* parent = nullptr);
};
