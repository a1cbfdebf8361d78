// Varnek: the results viewer.
#include <QApplication>
#include <QSurfaceFormat>
#include <clocale>

#include "resultsviewer/qm_app.h"
#include "viewer/gl/gl_view.h"
#include "viewer/gl/ui_hooks.h"

int main(int argc, char** argv) {
  QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat());
  QApplication app(argc, argv);
  // Numbers in files never follow the user's locale.
  std::setlocale(LC_NUMERIC, "C");
  QmApp theApp;
  QStringList args = ArgumentsFromArgv(argc, argv);
  if (!args.isEmpty()) args.removeFirst();
  if (!theApp.InitInstance(args)) return 1;
  return QApplication::exec();
}
