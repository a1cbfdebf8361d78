// The results viewer's start-up and end: the application's identity and
// recent-file store, the splash, the main frame and the file named on the
// command line.
#pragma once
#include <QStringList>
#include <memory>

class CMainFrame;

class QmApp {
 public:
  QmApp();
  ~QmApp();
  QmApp(const QmApp&) = delete;
  QmApp& operator=(const QmApp&) = delete;

  // The start-up; false when the program cannot start. `args` are the
  // command-line arguments after the program's name.
  bool InitInstance(const QStringList& args);
  CMainFrame* MainFrame() const { return m_pFrame.get(); }

  // What the command line asks for: a file to open (empty for none) and
  // whether the splash may show (not when started for embedding or
  // automation).
  struct CommandLine {
    QString file;
    bool showSplash = true;
  };
  static CommandLine ParseCommandLine(const QStringList& args);

 private:
  std::unique_ptr<CMainFrame> m_pFrame;
};
