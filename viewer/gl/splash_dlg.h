// The start-up splash: the program's title and version in a window without
// caption, centred and on top, hidden by its own one-shot timer, or, when a
// picture is on its way, when the time is up and the picture is shown,
// whichever comes later.
#pragma once
#include <QDialog>
#include <QTimer>

#include "viewer/gl/viewer_program.h"

class CSplashDlg : public QDialog {
  Q_OBJECT

 public:
  explicit CSplashDlg(ViewerProgram program, QWidget* parent = nullptr);

  // How long the splash shows: 2000 ms for Ostrel, 3000 ms for Varnek.
  static int TimeoutMs(ViewerProgram program);

  // Creates the splash (once), shows it centred and on top and starts its
  // timer. Null, with no timer running, when the window could not be made.
  static CSplashDlg* ShowSplash(ViewerProgram program);
  static CSplashDlg* Instance();
  // The application's end: the splash is destroyed.
  static void DestroyInstance();

  bool TimerActive() const { return m_timer.isActive(); }

  // A window shown after the splash lies above it where no window manager
  // keeps the splash on top: the splash, while it shows, is raised again.
  static void KeepOnTop();

  // A message is about to show: the splash goes now, whatever it waits
  // for, as it stays on top and would cover the message for as long as it
  // is open.
  static void Dismiss();

  // A file is being opened: the splash stays past its time until
  // PictureShown. Nothing without a splash on screen.
  static void ExpectPicture();
  // The first picture has been shown, or none will come: the splash goes
  // when its time is up (at once when it is).
  static void PictureShown();

 private:
  void OnTimer();
  void CentreOnScreen();

  // Owned by the dialog, so it can never fire on a splash that is gone.
  QTimer m_timer;
  bool m_bAwaitPicture = false;
  bool m_bTimeUp = false;
};
