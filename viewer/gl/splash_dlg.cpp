#include "viewer/gl/splash_dlg.h"

#include <QGuiApplication>
#include <QLabel>
#include <QScreen>
#include <QVBoxLayout>

#include "viewer/gl/cjk_font.h"

namespace {

CSplashDlg* g_pSplashDlg = nullptr;

}  // namespace

CSplashDlg::CSplashDlg(ViewerProgram program, QWidget* parent)
    : QDialog(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
  const bool varnek = program == ViewerProgram::Varnek;
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(40, 30, 40, 30);
  auto* title =
      new QLabel(varnek ? QStringLiteral("Varnekapp") : QStringLiteral("Ostrelapp"), this);
  title->setFont(CjkFont(28, true));
  title->setAlignment(Qt::AlignCenter);
  auto* version =
      new QLabel(varnek ? QStringLiteral("Version 1.0") : QStringLiteral("Version 1.3"), this);
  version->setFont(CjkFont(16));
  version->setAlignment(Qt::AlignCenter);
  layout->addWidget(title);
  layout->addWidget(version);
  setModal(false);
  m_timer.setSingleShot(true);
  m_timer.setTimerType(Qt::PreciseTimer);
  connect(&m_timer, &QTimer::timeout, this, &CSplashDlg::OnTimer);
}

int CSplashDlg::TimeoutMs(ViewerProgram program) {
  return program == ViewerProgram::Varnek ? 3000 : 2000;
}

void CSplashDlg::CentreOnScreen() {
  adjustSize();
  if (QScreen* screen = QGuiApplication::primaryScreen()) {
    const QRect area = screen->availableGeometry();
    move(area.center() - rect().center());
  }
}

CSplashDlg* CSplashDlg::ShowSplash(ViewerProgram program) {
  if (!g_pSplashDlg) g_pSplashDlg = new CSplashDlg(program);
  CSplashDlg* dlg = g_pSplashDlg;
  dlg->CentreOnScreen();
  dlg->show();
  dlg->raise();
  if (!dlg->isVisible() || !dlg->windowHandle()) {
    // No window: nothing to hide later, and no pointer to a freed object.
    DestroyInstance();
    return nullptr;
  }
  dlg->m_bTimeUp = false;
  dlg->m_bAwaitPicture = false;
  dlg->m_timer.start(TimeoutMs(program));
  return dlg;
}

CSplashDlg* CSplashDlg::Instance() { return g_pSplashDlg; }

void CSplashDlg::DestroyInstance() {
  delete g_pSplashDlg;
  g_pSplashDlg = nullptr;
}

void CSplashDlg::KeepOnTop() {
  if (g_pSplashDlg && g_pSplashDlg->isVisible()) g_pSplashDlg->raise();
}

void CSplashDlg::Dismiss() {
  CSplashDlg* dlg = g_pSplashDlg;
  if (!dlg) return;
  dlg->m_timer.stop();
  dlg->m_bAwaitPicture = false;
  dlg->m_bTimeUp = true;
  dlg->hide();
}

void CSplashDlg::ExpectPicture() {
  if (g_pSplashDlg && g_pSplashDlg->isVisible()) g_pSplashDlg->m_bAwaitPicture = true;
}

void CSplashDlg::PictureShown() {
  CSplashDlg* dlg = g_pSplashDlg;
  if (!dlg || !dlg->m_bAwaitPicture) return;
  dlg->m_bAwaitPicture = false;
  if (dlg->m_bTimeUp) dlg->hide();
}

void CSplashDlg::OnTimer() {
  m_timer.stop();
  m_bTimeUp = true;
  if (!m_bAwaitPicture) hide();
}
