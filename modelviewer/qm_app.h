// The model viewer's application object: start-up (profile, recent files,
// main frame, splash, the file named on the command line) and the end of
// the dialog singletons.
#pragma once
#include <QString>
#include <QStringList>
#include <memory>

class CMainFrame;
class QWidget;

// Recent files kept in the profile (8 entries); no menu offers them.
class CRecentFileList {
 public:
  static constexpr int kSize = 8;
  void Load();
  void Save() const;
  // Puts the path first, dropping an older entry of it and the oldest past
  // the size.
  void Add(const QString& path);
  const QStringList& Files() const { return m_files; }

 private:
  QStringList m_files;
};

// The program's list (loaded by InitInstance).
CRecentFileList& RecentFiles();
// What opening a file adds to the list (and saves), with its folder for the
// next Open dialog.
void AddToRecentFileList(const QString& path);

// Help > Operation keys and Help > About.
void OnHelpKeys(QWidget* parent);
void OnAppAbout(QWidget* parent);

class QmApp {
 public:
  QmApp();
  ~QmApp();  // destroys the modeless dialogs and the main frame
  QmApp(const QmApp&) = delete;
  QmApp& operator=(const QmApp&) = delete;

  // Profile, main frame (maximised, no document), splash, then the first
  // file named in `args` (program name first, as on a command line) opened
  // like File > Open. False ends the program.
  bool InitInstance(const QStringList& args, bool showSplash = true);
  CMainFrame* MainFrame() const { return m_pMainFrame.get(); }

 private:
  std::unique_ptr<CMainFrame> m_pMainFrame;
};

// The file a command line names: the first argument after the program's
// name that is not an option; empty when there is none.
QString CommandLineFile(const QStringList& args);
