#include "resultsviewer/main_frame.h"

#include <QAction>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QLabel>
#include <QMenuBar>
#include <QMimeData>
#include <QSettings>
#include <QStyle>
#include <QToolBar>
#include <QUrl>

#include "resultsviewer/ui_hooks.h"
#include "viewer/gl/about_dlg.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/status_bar.h"

namespace {

QString U(const char* s) { return QString::fromUtf8(s); }

// The program's title in the caption, after the document's.
const char* const kAppTitle = "Varnekapp";

}  // namespace

CMainFrame::CMainFrame() : m_pDoc(std::make_unique<QmDoc>()) {
  m_pView = new QmView(this);
  setCentralWidget(m_pView);
  m_pView->SetDocument(m_pDoc.get());
  m_pView->m_fnWalkText = [this](int index) { SetWalkText(index); };
  connect(m_pView, &QmView::stateChanged, this, &CMainFrame::UpdateActions);

  CreateMenus();

  // Status bar: the movement word, then the three key indicators.
  m_pStatus = new CPStatusBar(200, this);
  m_pStatus->AddLockPanes();
  setStatusBar(m_pStatus);

  setAcceptDrops(true);
  LoadRecent();
  RebuildRecentMenu();
  setWindowTitle(TitleText());
  UpdateActions();
  resize(1024, 768);
}

CMainFrame::~CMainFrame() {
  // The view goes before the document it draws.
  delete m_pView;
  m_pView = nullptr;
}

void CMainFrame::CreateMenus() {
  // File.
  m_menuFile = menuBar()->addMenu(U("ファイル(&F)"));
  // The shortcut is written into the text itself, after the tab, as the
  // menu shows it; the toolbar button names the command alone.
  m_actOpen = m_menuFile->addAction(U("開く...\tCtrl+O(&O)"));
  m_actOpen->setShortcut(QKeySequence::Open);
  m_actOpen->setIconText(U("開く"));
  m_actOpen->setToolTip(U("開く"));
  m_actOpen->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
  connect(m_actOpen, &QAction::triggered, this, &CMainFrame::OnFileOpen);
  m_menuFile->addSeparator();
  m_recentEmpty = m_menuFile->addAction(U("最近使ったファイル"));
  m_recentEmpty->setEnabled(false);
  m_menuFile->addSeparator();
  m_actExit = m_menuFile->addAction(U("アプリケーションの終了(&X)"));
  connect(m_actExit, &QAction::triggered, this, &QWidget::close);

  // Diagrams.
  m_menuView = menuBar()->addMenu(U("表示(&V)"));
  // An item of `menu` that calls the view.
  auto item = [&](QMenu* menu, const char* text, auto slot) {
    QAction* a = menu->addAction(U(text));
    connect(a, &QAction::triggered, m_pView, slot);
    return a;
  };
  auto diagram = [&](const char* text, auto slot) { return item(m_menuView, text, slot); };
  m_actStructure = diagram("構造図(&K)", [this] { m_pView->OnViewStructure(); });
  m_actDeform = diagram("変形図...(&D)", [this] { m_pView->OnViewDeform(); });
  m_actStress = diagram("応力分布図...(&O)", [this] { m_pView->OnViewStress(); });
  m_actStrain = diagram("ひずみ分布図...(&H)", [this] { m_pView->OnViewStrain(); });
  m_actSectionForce = diagram("断面力分布図...(&F)", [this] { m_pView->OnViewSectionForce(); });
  m_actShellStress = diagram("シェル応力分布図...(&P)", [this] { m_pView->OnViewShellStress(); });
  m_actShellStrain = diagram("シェルひずみ分布図...(&Q)", [this] { m_pView->OnViewShellStrain(); });

  // Viewpoints.
  m_menuAxis = menuBar()->addMenu(U("ビュー(&A)"));
  auto axis = [&](const char* text, auto slot) { return item(m_menuAxis, text, slot); };
  m_actIso = axis("アイソメ図", [this] { m_pView->OnViewIso(); });
  m_actPlusX = axis("＋Ｘ軸", [this] { m_pView->OnViewPlusX(); });
  m_actMinusX = axis("－Ｘ軸", [this] { m_pView->OnViewMinusX(); });
  m_actPlusY = axis("＋Ｙ軸", [this] { m_pView->OnViewPlusY(); });
  m_actMinusY = axis("ーＹ軸", [this] { m_pView->OnViewMinusY(); });
  m_actPlusZ = axis("＋Ｚ軸", [this] { m_pView->OnViewPlusZ(); });
  m_actMinusZ = axis("ーＺ軸", [this] { m_pView->OnViewMinusZ(); });

  // Help.
  m_menuHelp = menuBar()->addMenu(U("ヘルプ(&H)"));
  m_actKeys = m_menuHelp->addAction(U("操作キー一覧"));
  connect(m_actKeys, &QAction::triggered, this, &CMainFrame::OnHelpKeys);
  m_actAbout = m_menuHelp->addAction(U("バージョン情報(&A)..."));
  m_actAbout->setIcon(style()->standardIcon(QStyle::SP_MessageBoxInformation));
  connect(m_actAbout, &QAction::triggered, this, &CMainFrame::OnAppAbout);

  for (QMenu* m : {m_menuFile, m_menuView, m_menuAxis, m_menuHelp})
    connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateActions);

  QToolBar* tb = addToolBar(U("標準"));
  tb->setObjectName(QStringLiteral("standard"));
  tb->addAction(m_actOpen);
  tb->addSeparator();
  tb->addAction(m_actAbout);
}

void CMainFrame::UpdateActions() {
  const QmView* v = m_pView;
  const bool structure = v && v->CanShowStructure();
  m_actStructure->setEnabled(structure);
  m_actDeform->setEnabled(structure);
  const bool fiber = v && v->CanShowFiber();
  m_actStress->setEnabled(fiber);
  m_actStrain->setEnabled(fiber);
  m_actSectionForce->setEnabled(v && v->CanShowSectionForce());
  const bool shell = v && v->CanShowShell();
  m_actShellStress->setEnabled(shell);
  m_actShellStrain->setEnabled(shell);
}

QString CMainFrame::TitleText() const {
  // A name in code page 932 is shown as such.
  const QString doc = m_pDoc->m_strTitle.empty() ? U("無題") : TextToQString(m_pDoc->m_strTitle);
  return doc + QStringLiteral(" - ") + U(kAppTitle);
}

void CMainFrame::SetWalkText(int index) {
  if (m_pStatus) m_pStatus->SetOpMode(index);
}

void CMainFrame::OpenFile(const QString& path) {
  if (path.isEmpty()) return;
  const std::string p = QStringToPath(path);
  QApplication::setOverrideCursor(Qt::WaitCursor);
  m_pDoc->OnOpenDocument(p);
  QApplication::restoreOverrideCursor();
  if (!m_pDoc->m_strOpenError.empty()) {
    // The run on show stays; a recent entry that no longer opens goes.
    if (m_recent.removeAll(QFileInfo(path).absoluteFilePath()) + m_recent.removeAll(path) > 0) {
      SaveRecent();
      RebuildRecentMenu();
    }
    return;
  }
  AddRecent(QFileInfo(path).absoluteFilePath());
  m_pView->SetDocument(m_pDoc.get());
  setWindowTitle(TitleText());
  UpdateActions();
}

void CMainFrame::OnFileOpen() {
  QSettings profile;
  const QString path = QFileDialog::getOpenFileName(this, U("開く"), OpenFolder(profile),
                                                    U("Varnek Files (*.in);;すべてのファイル (*)"));
  if (!path.isEmpty()) OpenFile(path);
}

void CMainFrame::OnAppAbout() {
  CAboutDlg dlg(ViewerProgram::Varnek, this);
  varnek::ExecDialog(dlg);
}

void CMainFrame::OnHelpKeys() { CKeysDlg::ShowKeys(ViewerProgram::Varnek); }

// ---------------------------------------------------------------------------
// Recent files

void CMainFrame::LoadRecent() {
  QSettings settings;
  m_recent.clear();
  for (int i = 1; i <= kMaxRecent; ++i) {
    const QString p = PathFromSetting(settings.value(QStringLiteral("Recent File List/File%1").arg(i)));
    if (!p.isEmpty()) m_recent.push_back(p);
  }
}

void CMainFrame::SaveRecent() const {
  QSettings settings;
  for (int i = 1; i <= kMaxRecent; ++i) {
    const QString key = QStringLiteral("Recent File List/File%1").arg(i);
    if (i <= m_recent.size())
      settings.setValue(key, PathToSetting(m_recent[i - 1]));
    else
      settings.remove(key);
  }
}

void CMainFrame::AddRecent(const QString& path) {
  m_recent.removeAll(path);
  m_recent.push_front(path);
  while (m_recent.size() > kMaxRecent) m_recent.pop_back();
  SaveRecent();
  RebuildRecentMenu();
  QSettings profile;
  StoreOpenFolder(profile, path);
}

void CMainFrame::RebuildRecentMenu() {
  for (QAction* a : m_recentActions) {
    m_menuFile->removeAction(a);
    a->deleteLater();
  }
  m_recentActions.clear();
  m_recentEmpty->setVisible(m_recent.isEmpty());
  for (int i = 0; i < m_recent.size(); ++i) {
    const QString path = m_recent[i];
    auto* a = new QAction(QStringLiteral("&%1 %2").arg(i + 1).arg(TextToQString(QStringToPath(path))), this);
    connect(a, &QAction::triggered, this, [this, path] { OpenFile(path); });
    m_menuFile->insertAction(m_recentEmpty, a);
    m_recentActions.push_back(a);
  }
}

// ---------------------------------------------------------------------------
// Drops

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) {
    for (const QUrl& url : event->mimeData()->urls())
      if (url.isLocalFile()) {
        event->acceptProposedAction();
        return;
      }
  }
  QMainWindow::dragEnterEvent(event);
}

void CMainFrame::dropEvent(QDropEvent* event) {
  // One document: the files are opened in turn and the last one stays.
  const QStringList files = DroppedLocalFiles(*event->mimeData());
  for (const QString& file : files) OpenFile(file);
  if (!files.isEmpty()) {
    event->acceptProposedAction();
    activateWindow();
  }
}
