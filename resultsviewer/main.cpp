// Varnek: the results viewer.
#include <QApplication>

#include "resultsviewer/qm_app.h"
#include "viewer/gl/app_startup.h"
#include "viewer/gl/ui_hooks.h"

int main(int argc, char** argv) {
  SetSceneSurfaceFormat();
  QApplication app(argc, argv);
  SetProgramIcon(QStringLiteral("varnek"));
  QmApp theApp;
  QStringList args = ArgumentsFromArgv(argc, argv);
  if (!args.isEmpty()) args.removeFirst();
  if (!theApp.InitInstance(args)) return 1;
  return QApplication::exec();
}
