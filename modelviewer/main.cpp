// Ostrel: the model viewer.
#include <QApplication>
#include <QDir>
#include <QIcon>
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
  // Every window's icon, in all the sizes compiled in; on Wayland the
  // compositor takes it from the desktop entry of this name instead.
  QIcon icon;
  for (const QFileInfo& size : QDir(QStringLiteral(":/appicon")).entryInfoList()) icon.addFile(size.filePath());
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(QStringLiteral("ostrel"));
  QmApp theApp;
  if (!theApp.InitInstance(ArgumentsFromArgv(argc, argv))) return 0;
  return QApplication::exec();
}
