// The model viewer's frames: the main window (menus, hidden toolbar, status
// bar with the movement word and the progress bar, the loading timer, drops)
// around a QMdiArea with one child frame per document.
#pragma once
#include <QMainWindow>
#include <QMdiSubWindow>
#include <QRect>
#include <QPointer>
#include <QStringList>
#include <QTimer>

#include <map>
#include <memory>
#include <vector>

#include "modelviewer/qm_loader.h"
#include "modelviewer/qm_view.h"

class CPStatusBar;
class QAction;
class QMdiArea;
class QMenu;
class QToolBar;

// Command ids of the frames (the view's are in qm_view.h).
enum QmFrameCommand : int {
  kCmdFileOpen = 57601,
  kCmdFileClose = 57602,
  kCmdFileSave = 57603,
  kCmdFileSaveAs = 57604,
  kCmdFilePrint = 57607,
  kCmdFilePrintPreview = 57609,
  kCmdAppExit = 57665,
  kCmdArrangeIcons = 57649,
  kCmdCascade = 57650,
  kCmdTile = 57651,
  kCmdViewToolbar = 59392,
  kCmdViewStatusBar = 59393,
  kCmdAppAbout = 57664,
  kCmdHelpKeys = 32791,
};

// One document's window inside the MDI area.
class CChildFrame : public QMdiSubWindow {
  Q_OBJECT
 public:
  CChildFrame(std::shared_ptr<QmDoc> doc, QWidget* parent = nullptr);
  QmView* View() const { return m_pView; }
  QmDoc* Document() const { return m_pView->GetDocument(); }

 private:
  QmView* m_pView = nullptr;
};

// The Window menu's layouts in the document area (its own coordinates), as
// the platform lays out its document windows.
namespace mdi_layout {
// `count` windows, each the area less `step` for every further place, the
// i-th moved by i steps (modulo the places that fit): the last lies in front.
std::vector<QRect> Cascade(const QRect& area, int count, int step);
// `count` windows one above the other in columns (about the root of count
// of them), the first column at the left; the last column takes the rest.
std::vector<QRect> Tile(const QRect& area, int count);
// Minimised windows of the given sizes in rows along the bottom, left to
// right, a new row above when one is full; the band's height in `band`.
std::vector<QRect> Icons(const QRect& area, const std::vector<QSize>& sizes, int* band);
}  // namespace mdi_layout

class CMainFrame : public QMainWindow {
  Q_OBJECT
 public:
  // Status bar: pane 0 (movement word) and pane 1 (under the progress bar)
  // widths, and the height of the bar's font, in pixels.
  static constexpr int kWordPaneWidth = 200;
  static constexpr int kProgressPaneWidth = 300;
  static constexpr int kStatusFontHeight = 24;

  CMainFrame();
  ~CMainFrame() override;

  // File > Open's work for one file, also for the command line and drops.
  // A file already open is only activated. Null when no document was made.
  CChildFrame* OpenDocumentFile(const QString& path);

  // Sets every command's enabled and checked state (and which menus show).
  void UpdateCommandStates();

  // The movement word of the status bar (-1: none).
  void SetOpMode(int mode);
  // Progress bar over pane 1 of the status bar.
  void ShowProgress(bool show);

  QAction* Action(int id) const;
  QMdiArea* MdiArea() const { return m_pMdi; }
  CPStatusBar* StatusBar() const { return m_pStatus; }
  QToolBar* ToolBar() const { return m_pToolBar; }
  QMenu* Menu(const QString& objectName) const;
  QmView* ActiveView() const;
  std::vector<CChildFrame*> ChildFrames() const;
  CModelLoader& Loader() { return m_loader; }
  bool LoadTimerActive() const { return m_timer.isActive(); }
  int TickCount() const { return m_nTick; }

  // The filters of File > Open, the document type first.
  static QStringList OpenFilters();

  // The command handlers of the frame.
  void OnFileOpen();
  void OnFileClose();
  void OnArrangeIcons();
  void OnCascade();
  void OnTile();

 protected:
  bool event(QEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateActions();
  void CreateMenus();
  QAction* AddAction(int id, const QString& text, void (CMainFrame::*slot)());
  QAction* AddViewAction(int id, const QString& text, void (QmView::*slot)());
  void OnTimer();
  void FinishLoad(std::unique_ptr<LoadBlock> block);
  void StartTimer();
  void OnSubWindowActivated(QMdiSubWindow* window);
  void ShowMessages(const std::vector<DocMessage>& msgs);
  CChildFrame* FindChild(const std::string& path) const;
  CChildFrame* AddChild(std::shared_ptr<QmDoc> doc);
  // Lays the minimised windows along the bottom, in front of the others;
  // the area the other windows may take.
  QRect ArrangeIconic();
  // The windows that are not minimised, bottom to top, shown normal.
  std::vector<QMdiSubWindow*> NormalWindows();

  QMdiArea* m_pMdi = nullptr;
  CPStatusBar* m_pStatus = nullptr;
  QToolBar* m_pToolBar = nullptr;
  std::map<int, QAction*> m_actions;
  std::map<QString, QMenu*> m_menus;
  QTimer m_timer;
  int m_nTick = 0;
  bool m_bInTimer = false;
  bool m_bWaitCursor = false;
  CModelLoader m_loader;
  QPointer<QMdiSubWindow> m_pLastActive;
};
