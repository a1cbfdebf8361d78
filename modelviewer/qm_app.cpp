#include "modelviewer/qm_app.h"

#include <QCoreApplication>
#include <QSettings>

#include "modelviewer/main_frame.h"
#include "modelviewer/qm_dialogs.h"
#include "viewer/color_table.h"
#include "viewer/gl/about_dlg.h"
#include "viewer/gl/app_startup.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/ui_hooks.h"

void CRecentFileList::Load() {
  m_files.clear();
  QSettings s(QStringLiteral("Tollgrane"), QStringLiteral("Ostrel"));
  s.beginGroup(QStringLiteral("Recent File List"));
  for (int i = 1; i <= kSize; ++i) {
    const QString f = PathFromSetting(s.value(QStringLiteral("File%1").arg(i)));
    if (!f.isEmpty()) m_files.push_back(f);
  }
  s.endGroup();
}

void CRecentFileList::Save() const {
  QSettings s(QStringLiteral("Tollgrane"), QStringLiteral("Ostrel"));
  s.beginGroup(QStringLiteral("Recent File List"));
  // The group also keeps the Open dialog's folder.
  for (int i = 0; i < kSize; ++i) {
    const QString key = QStringLiteral("File%1").arg(i + 1);
    if (i < m_files.size())
      s.setValue(key, PathToSetting(m_files[i]));
    else
      s.remove(key);
  }
  s.endGroup();
  s.sync();
}

void CRecentFileList::Add(const QString& path) {
  m_files.removeAll(path);
  m_files.push_front(path);
  while (m_files.size() > kSize) m_files.pop_back();
}

CRecentFileList& RecentFiles() {
  static CRecentFileList list;
  return list;
}

void AddToRecentFileList(const QString& path) {
  RecentFiles().Add(path);
  RecentFiles().Save();
  QSettings s(QStringLiteral("Tollgrane"), QStringLiteral("Ostrel"));
  StoreOpenFolder(s, path);
}

void OnHelpKeys(QWidget*) { CKeysDlg::ShowKeys(ViewerProgram::Ostrel); }

void OnAppAbout(QWidget* parent) {
  CAboutDlg dlg(ViewerProgram::Ostrel, parent);
  RunModal(dlg);
}

QString CommandLineFile(const QStringList& args) {
  for (int i = 1; i < args.size(); ++i) {
    if (args[i].startsWith(QLatin1Char('-'))) continue;
    return args[i];
  }
  return QString();
}

QmApp::QmApp() = default;

QmApp::~QmApp() {
  CSplashDlg::DestroyInstance();
  CKeysDlg::DestroyInstance();
  if (g_pMatColorDlg) delete g_pMatColorDlg.data();
  m_pMainFrame.reset();
}

bool QmApp::InitInstance(const QStringList& args, bool showSplash) {
  ApplyStartupSettings();
  RecentFiles().Load();
  InitBuiltinPalettes();

  m_pMainFrame = std::make_unique<CMainFrame>();
  if (showSplash) CSplashDlg::ShowSplash(ViewerProgram::Ostrel);
  m_pMainFrame->showMaximized();
  // The splash stays in front of the frame until its timer hides it, also
  // where no window manager keeps it on top.
  if (CSplashDlg* splash = CSplashDlg::Instance(); splash && splash->isVisible()) splash->raise();

  const QString file = CommandLineFile(args);
  if (!file.isEmpty()) m_pMainFrame->OpenDocumentFile(file);
  return true;
}
