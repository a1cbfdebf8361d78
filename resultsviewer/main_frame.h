// The results viewer's single-document main frame: menus, toolbar, status
// bar, the recent-file list, and opening files from the menu, the list, the
// command line and drops. The frame owns the one document and its view.
#pragma once
#include <QMainWindow>
#include <QStringList>
#include <memory>

#include "resultsviewer/qm_doc.h"
#include "resultsviewer/qm_view.h"

class CPStatusBar;
class QAction;
class QMenu;

class CMainFrame : public QMainWindow {
  Q_OBJECT

 public:
  static constexpr int kMaxRecent = 4;

  CMainFrame();
  ~CMainFrame() override;

  QmDoc& Doc() { return *m_pDoc; }
  QmView* View() const { return m_pView; }
  CPStatusBar* StatusBar() const { return m_pStatus; }

  // Opens a file as File > Open does (any file: only ".in" loads a run).
  void OpenFile(const QString& path);
  // The movement word of the status bar (-1: none).
  void SetWalkText(int index);
  // Sets every command's enabled state from the document and the view.
  void UpdateActions();

  QStringList RecentFiles() const { return m_recent; }
  // The window title the frame shows for the open document.
  QString TitleText() const;

  // Commands, by their menu texts.
  QAction* m_actOpen = nullptr;
  QAction* m_actExit = nullptr;
  QAction* m_actStructure = nullptr;
  QAction* m_actDeform = nullptr;
  QAction* m_actStress = nullptr;
  QAction* m_actStrain = nullptr;
  QAction* m_actSectionForce = nullptr;
  QAction* m_actShellStress = nullptr;
  QAction* m_actShellStrain = nullptr;
  QAction* m_actIso = nullptr;
  QAction* m_actPlusX = nullptr;
  QAction* m_actMinusX = nullptr;
  QAction* m_actPlusY = nullptr;
  QAction* m_actMinusY = nullptr;
  QAction* m_actPlusZ = nullptr;
  QAction* m_actMinusZ = nullptr;
  QAction* m_actKeys = nullptr;
  QAction* m_actAbout = nullptr;
  QMenu* m_menuFile = nullptr;
  QMenu* m_menuView = nullptr;
  QMenu* m_menuAxis = nullptr;
  QMenu* m_menuHelp = nullptr;

 protected:
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void CreateMenus();
  void OnFileOpen();
  void OnAppAbout();
  void OnHelpKeys();
  void AddRecent(const QString& path);
  void LoadRecent();
  void SaveRecent() const;
  void RebuildRecentMenu();

  std::unique_ptr<QmDoc> m_pDoc;
  QmView* m_pView = nullptr;
  CPStatusBar* m_pStatus = nullptr;
  QStringList m_recent;
  std::vector<QAction*> m_recentActions;
  QAction* m_recentEmpty = nullptr;
};
