// Varnek: the results viewer.
#include <QApplication>
#include <QDir>
#include <QIcon>
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
  // Every window's icon, in all the sizes compiled in; on Wayland the
  // compositor takes it from the desktop entry of this name instead.
  QIcon icon;
  for (const QFileInfo& size : QDir(QStringLiteral(":/appicon")).entryInfoList()) icon.addFile(size.filePath());
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(QStringLiteral("varnek"));
  QmApp theApp;
  QStringList args = ArgumentsFromArgv(argc, argv);
  if (!args.isEmpty()) args.removeFirst();
  if (!theApp.InitInstance(args)) return 1;
  return QApplication::exec();
}
