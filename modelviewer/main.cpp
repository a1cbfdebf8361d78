// Ostrel: the model viewer.
#include <QApplication>

#include "modelviewer/qm_app.h"
#include "viewer/gl/app_startup.h"
#include "viewer/gl/ui_hooks.h"

int main(int argc, char** argv) {
  SetSceneSurfaceFormat();
  QApplication app(argc, argv);
  QApplication::setOrganizationName(QStringLiteral("Tollgrane"));
  QApplication::setApplicationName(QStringLiteral("Ostrel"));
  SetProgramIcon(QStringLiteral("ostrel"));
  QmApp theApp;
  if (!theApp.InitInstance(ArgumentsFromArgv(argc, argv))) return 0;
  return QApplication::exec();
}
