#include "resultsviewer/qm_app.h"

#include <QApplication>

#include "resultsviewer/main_frame.h"
#include "resultsviewer/qm_view.h"
#include "viewer/gl/app_startup.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/ui_hooks.h"

QmApp::QmApp() {
  QCoreApplication::setOrganizationName(QStringLiteral("Tollgrane"));
  QCoreApplication::setApplicationName(QStringLiteral("Varnek"));
  // No display name: Qt would add it to every dialog's title. The main
  // window writes the program's title into its own caption, and message
  // boxes carry it as theirs.
  SetMessageTitle(QStringLiteral("Varnekapp"));
}

QmApp::~QmApp() {
  m_pFrame.reset();
  CSplashDlg::DestroyInstance();
  CKeysDlg::DestroyInstance();
}

QmApp::CommandLine QmApp::ParseCommandLine(const QStringList& args) {
  CommandLine cl;
  for (const QString& a : args) {
    if (a.startsWith(QLatin1Char('-')) || a.startsWith(QLatin1Char('/'))) {
      // A path starting with '/' is a file; the flags are words.
      const QString flag = a.mid(a.startsWith(QStringLiteral("--")) ? 2 : 1);
      if (flag.compare(QStringLiteral("Embedding"), Qt::CaseInsensitive) == 0 ||
          flag.compare(QStringLiteral("Automation"), Qt::CaseInsensitive) == 0) {
        cl.showSplash = false;
        continue;
      }
      if (a.startsWith(QLatin1Char('-'))) continue;
    }
    if (cl.file.isEmpty()) cl.file = a;
  }
  return cl;
}

bool QmApp::InitInstance(const QStringList& args) {
  ApplyStartupSettings();
  const CommandLine cl = ParseCommandLine(args);
  if (cl.showSplash) CSplashDlg::ShowSplash(ViewerProgram::Varnek);
  m_pFrame = std::make_unique<CMainFrame>();
  if (!cl.file.isEmpty()) {
    // The splash stays until the run's first picture is shown.
    CSplashDlg::ExpectPicture();
    m_pFrame->OpenFile(cl.file);
    const QmDoc* doc = m_pFrame->View() ? m_pFrame->View()->Document() : nullptr;
    if (!doc || doc->m_nNodes < 1) CSplashDlg::PictureShown();
  }
  m_pFrame->showMaximized();
  CSplashDlg::KeepOnTop();
  return true;
}
