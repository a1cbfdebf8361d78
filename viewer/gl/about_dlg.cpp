#include "viewer/gl/about_dlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QVBoxLayout>

#include "viewer/gl/cjk_font.h"

CAboutDlg::CAboutDlg(ViewerProgram program, QWidget* parent) : QDialog(parent) {
  const bool varnek = program == ViewerProgram::Varnek;
  setWindowTitle(QStringLiteral("バージョン情報"));
  setModal(true);
  auto* layout = new QVBoxLayout(this);
  auto* title =
      new QLabel(varnek ? QStringLiteral("Varnekapp") : QStringLiteral("Ostrelapp"), this);
  title->setFont(CjkFont(18, true));
  layout->addWidget(title);
  layout->addWidget(
      new QLabel(varnek ? QStringLiteral("Version 1.0") : QStringLiteral("Version 1.3"), this));
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  layout->addWidget(buttons);
}
