// Ostrel: the model viewer.
#include <QApplication>
#include <QSurfaceFormat>

#include "modelviewer/qm_app.h"
#include "viewer/gl/gl_view.h"
#include "viewer/gl/ui_hooks.h"

int main(int argc, char** argv) {
  // Every OpenGL widget of the program shares this format.
  QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat());
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Tollgrane"));
  QApplication::setApplicationName(QStringLiteral("Ostrel"));
  QmApp theApp;
  if (!theApp.InitInstance(ArgumentsFromArgv(argc, argv))) return 0;
  return QApplication::exec();
}
