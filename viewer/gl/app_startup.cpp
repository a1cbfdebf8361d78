#include "viewer/gl/app_startup.h"

#include <QApplication>
#include <QDir>
#include <QIcon>
#include <QLibraryInfo>
#include <QSurfaceFormat>
#include <QThreadPool>
#include <QTranslator>
#include <clocale>

#include "viewer/gl/gl_view.h"

void SetSceneSurfaceFormat() { QSurfaceFormat::setDefaultFormat(CGlView::SceneFormat()); }

void SetProgramIcon(const QString& desktopFileName) {
  QIcon icon;
  for (const QFileInfo& size : QDir(QStringLiteral(":/appicon")).entryInfoList()) icon.addFile(size.filePath());
  QApplication::setWindowIcon(icon);
  QGuiApplication::setDesktopFileName(desktopFileName);
}

void ApplyStartupSettings() {
  // Qt set the C library's locale from the environment; numbers in files
  // never follow it.
  std::setlocale(LC_NUMERIC, "C");
  InstallQtJapanese();
  CapGlobalThreadPool();
}

bool InstallQtJapanese() {
  QCoreApplication* app = QCoreApplication::instance();
  if (!app) return false;
  const QString name = QStringLiteral("qtbase_ja");
  if (app->findChild<QTranslator*>(name, Qt::FindDirectChildrenOnly)) return true;
  auto* tr = new QTranslator(app);
  if (!tr->load(name, QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
    delete tr;
    return false;
  }
  tr->setObjectName(name);
  QCoreApplication::installTranslator(tr);
  return true;
}

void CapGlobalThreadPool() { QThreadPool::globalInstance()->setMaxThreadCount(kGlobalPoolThreads); }
