// The status bar of both main frames: a pane for the word of the current
// camera movement (pane 0), further text panes, and a progress bar that is
// laid over one of the panes while a file loads.
#pragma once
#include <QProgressBar>
#include <QStatusBar>
#include <QString>
#include <QTimer>
#include <vector>

class QLabel;

// The lock keys as the keyboard's indicators show them: caps, num and scroll
// lock, each 1 on, 0 off, -1 where it cannot be read (not X11, no XKB, an
// indicator the keyboard map lacks).
struct LockKeyState {
  int on[3] = {-1, -1, -1};
};
LockKeyState ReadLockKeys();

// Pane 0: the movement word in black with its arrow in red right after it.
class COpWordPane : public QWidget {
  Q_OBJECT

 public:
  explicit COpWordPane(QWidget* parent = nullptr);
  int OpMode() const { return m_nMode; }
  void SetOpMode(int mode);
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int m_nMode = -1;
};

class CPStatusBar : public QStatusBar {
  Q_OBJECT

 public:
  // `wordPaneWidth` is the width of pane 0 in pixels; 0 lets it stretch.
  explicit CPStatusBar(int wordPaneWidth = 200, QWidget* parent = nullptr);

  // The word and arrow of an operation mode; false for -1 (nothing drawn).
  // Modes other than 1, 2, 11-14 and 21-24 give empty texts.
  static bool OpWord(int mode, QString& word, QString& arrow);

  // Adds a text pane (a fixed width in pixels, 0 for its text's width);
  // `permanent` panes sit at the right end. Returns the pane's index.
  int AddPane(const QString& text, int width, bool permanent = false);
  int PaneCount() const { return static_cast<int>(m_panes.size()); }
  QWidget* Pane(int index) const;
  COpWordPane* WordPane() const { return m_pWord; }

  // The movement word of pane 0; true when it changed (pane 0 is then
  // repainted).
  bool SetOpMode(int mode);
  int OpMode() const { return m_pWord->OpMode(); }

  // Adds the "CAP", "NUM" and "SCRL" panes at the right end: each shows its
  // text while its lock is on and is grey while it is off, or always where
  // the state cannot be read. They follow key events and a slow timer.
  void AddLockPanes();
  void UpdateLockPanes();
  // The index of the caps (0), num (1) or scroll (2) lock pane; -1 before
  // AddLockPanes.
  int LockPane(int lock) const { return lock >= 0 && lock < 3 ? m_lockPanes[lock] : -1; }

  QProgressBar* Progress() const { return m_pProgress; }
  // The pane the progress bar covers, -1 for none.
  void SetProgressPane(int pane);
  int ProgressPane() const { return m_nProgressPane; }
  // Lays the progress bar over its pane and shows or hides it.
  void ShowProgress(bool show);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PlaceProgress();

  COpWordPane* m_pWord = nullptr;
  std::vector<QWidget*> m_panes;
  QProgressBar* m_pProgress = nullptr;
  int m_nProgressPane = -1;
  int m_lockPanes[3] = {-1, -1, -1};
  QTimer m_lockTimer;
  bool m_bLockUpdatePending = false;
};
