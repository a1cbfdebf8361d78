#include "modelviewer/main_frame.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFontMetrics>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProgressBar>
#include <QScopedValueRollback>
#include <QSettings>
#include <QStyle>
#include <QStyleOption>
#include <QToolBar>
#include <QWindow>

#include <algorithm>
#include <cmath>

#include "modelviewer/qm_app.h"
#include "modelviewer/qm_dialogs.h"
#include "viewer/gl/ui_hooks.h"
#include "platform/paths.h"
#include "platform/text_lines.h"
#include "viewer/gl/cjk_font.h"
#include "viewer/gl/keys_dlg.h"
#include "viewer/gl/splash_dlg.h"
#include "viewer/gl/status_bar.h"

namespace {

// The status bar's font: a character cell 24 pixels high, normal weight.
QFont StatusBarFont() {
  QFont f = CjkFont(CMainFrame::kStatusFontHeight);
  f.setWeight(QFont::Normal);
  const int h = QFontMetrics(f).height();
  if (h > 0 && h != CMainFrame::kStatusFontHeight)
    f.setPixelSize(std::max(1, (CMainFrame::kStatusFontHeight * CMainFrame::kStatusFontHeight + h / 2) / h));
  return f;
}

}  // namespace

// ---------------------------------------------------------------------------
// Window layouts

namespace mdi_layout {

std::vector<QRect> Cascade(const QRect& area, int count, int step) {
  std::vector<QRect> out;
  if (count <= 0) return out;
  step = std::max(step, 1);
  // As many further places as a third of the height holds.
  const int places = area.height() / (3 * step);
  const QSize size(std::max(area.width() - places * step, 1), std::max(area.height() - places * step, 1));
  for (int i = 0; i < count; ++i) {
    const int at = step * (i % (places + 1));
    out.emplace_back(area.topLeft() + QPoint(at, at), size);
  }
  return out;
}

std::vector<QRect> Tile(const QRect& area, int count) {
  std::vector<QRect> out;
  if (count <= 0) return out;
  const int columns = std::max(1, static_cast<int>(std::sqrt(static_cast<double>(count))));
  int rows = count / columns;
  const int width = area.width() / columns;
  for (int c = 0, placed = 0; c < columns; ++c) {
    if (c == columns - 1) rows = count - placed;
    const int height = area.height() / rows;
    for (int r = 0; r < rows; ++r, ++placed)
      out.emplace_back(area.left() + c * width, area.top() + r * height, width, height);
  }
  return out;
}

std::vector<QRect> Icons(const QRect& area, const std::vector<QSize>& sizes, int* band) {
  std::vector<QRect> out;
  int x = area.left(), bottom = area.bottom() + 1, rowHeight = 0;
  for (const QSize& s : sizes) {
    if (x > area.left() && x + s.width() > area.right() + 1) {
      // The row is full: the next one goes above it.
      x = area.left();
      bottom -= rowHeight;
      rowHeight = 0;
    }
    out.emplace_back(QPoint(x, bottom - s.height()), s);
    x += s.width();
    rowHeight = std::max(rowHeight, s.height());
  }
  if (band) *band = sizes.empty() ? 0 : area.bottom() + 1 - (bottom - rowHeight);
  return out;
}

}  // namespace mdi_layout

// ---------------------------------------------------------------------------
// CChildFrame

CChildFrame::CChildFrame(std::shared_ptr<QmDoc> doc, QWidget* parent) : QMdiSubWindow(parent) {
  setAttribute(Qt::WA_DeleteOnClose);
  // A name in code page 932 is shown as such.
  const QString title = TextToQString(plat::FileNameOf(doc->m_strPath));
  m_pView = new QmView(std::move(doc), this);
  setWidget(m_pView);
  setWindowTitle(title);
}

// ---------------------------------------------------------------------------
// CMainFrame

CMainFrame::CMainFrame() {
  setWindowTitle(QStringLiteral("Ostrel"));
  setAcceptDrops(true);
  m_pMdi = new QMdiArea(this);
  setCentralWidget(m_pMdi);
  connect(m_pMdi, &QMdiArea::subWindowActivated, this, &CMainFrame::OnSubWindowActivated);

  CreateActions();
  CreateMenus();

  // The toolbar is made and docked, then hidden: View > Toolbar shows it.
  m_pToolBar = addToolBar(QStringLiteral("ツール バー"));
  m_pToolBar->setObjectName(QStringLiteral("toolbar"));
  m_pToolBar->setMovable(true);
  m_pToolBar->addAction(Action(kCmdFileOpen));
  m_pToolBar->addAction(Action(kCmdFileSave));
  m_pToolBar->addSeparator();
  m_pToolBar->addAction(Action(kCmdFilePrint));
  m_pToolBar->addSeparator();
  m_pToolBar->addAction(Action(kCmdAppAbout));
  m_pToolBar->hide();

  // Pane 0 draws the movement word; the progress bar covers pane 1.
  m_pStatus = new CPStatusBar(kWordPaneWidth, this);
  m_pStatus->setFont(StatusBarFont());
  setStatusBar(m_pStatus);
  m_pStatus->SetProgressPane(m_pStatus->AddPane(QStringLiteral(" "), kProgressPaneWidth));

  // One progress step every 100 ms: a coarse timer could run 5 % fast.
  m_timer.setTimerType(Qt::PreciseTimer);
  m_timer.setInterval(100);
  connect(&m_timer, &QTimer::timeout, this, &CMainFrame::OnTimer);
  UpdateCommandStates();
}

CMainFrame::~CMainFrame() {
  m_timer.stop();
  m_loader.Shutdown();
  // The documents' windows go while the frame is still whole: the area
  // reports activations as its windows close.
  QObject::disconnect(m_pMdi, nullptr, this, nullptr);
  for (CChildFrame* c : ChildFrames()) QObject::disconnect(c->View(), nullptr, this, nullptr);
  delete m_pMdi;
  m_pMdi = nullptr;
}

QAction* CMainFrame::AddAction(int id, const QString& text, void (CMainFrame::*slot)()) {
  auto* act = new QAction(text, this);
  act->setData(id);
  if (slot) connect(act, &QAction::triggered, this, [this, slot] { (this->*slot)(); });
  addAction(act);  // shortcuts work whichever menus are shown
  m_actions[id] = act;
  return act;
}

QAction* CMainFrame::AddViewAction(int id, const QString& text, void (QmView::*slot)()) {
  QAction* act = AddAction(id, text, nullptr);
  connect(act, &QAction::triggered, this, [this, slot] {
    if (QmView* v = ActiveView()) (v->*slot)();
    UpdateCommandStates();
  });
  return act;
}

void CMainFrame::CreateActions() {
  QStyle* st = style();
  QAction* a = AddAction(kCmdFileOpen, QStringLiteral("開く(&O)..."), &CMainFrame::OnFileOpen);
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
  a->setIcon(st->standardIcon(QStyle::SP_DialogOpenButton));
  AddAction(kCmdFileClose, QStringLiteral("閉じる(&C)"), &CMainFrame::OnFileClose);
  // Never offered: the model viewer does not write models.
  a = AddAction(kCmdFileSave, QStringLiteral("上書き保存(&S)"), nullptr);
  a->setIcon(st->standardIcon(QStyle::SP_DialogSaveButton));
  AddAction(kCmdFileSaveAs, QStringLiteral("名前を付けて保存(&A)..."), nullptr);
  a = AddAction(kCmdFilePrint, QStringLiteral("印刷(&P)..."), nullptr);
  a->setIcon(st->standardIcon(QStyle::SP_FileIcon));
  AddAction(kCmdFilePrintPreview, QStringLiteral("印刷プレビュー(&V)"), nullptr);
  AddAction(kCmdAppExit, QStringLiteral("アプリケーションの終了(&X)"), nullptr);
  connect(Action(kCmdAppExit), &QAction::triggered, this, &QWidget::close);

  // The text names its shortcut after the tab, as the menu shows it.
  a = AddViewAction(kCmdSaveEye, QStringLiteral("視点の保存\tCtrl+E(&E)"), &QmView::OnFileSaveEye);
  a->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
  struct Axis {
    int id;
    const char* text;
  };
  static const Axis kAxisTexts[] = {
      {kCmdPlusX, "＋X軸(&X)"}, {kCmdMinusX, "－X軸(&A)"}, {kCmdPlusY, "＋Y軸(&Y)"},
      {kCmdMinusY, "－Ｙ軸(&B)"}, {kCmdPlusZ, "＋Ｚ軸(&Z)"}, {kCmdMinusZ, "－Ｚ軸(&C)"},
  };
  for (const Axis& ax : kAxisTexts) {
    QAction* act = AddAction(ax.id, QString::fromUtf8(ax.text), nullptr);
    const int id = ax.id;
    connect(act, &QAction::triggered, this, [this, id] {
      const bool shift = QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier;
      if (QmView* v = ActiveView()) v->OnAxisCommand(id, shift);
    });
  }
  AddViewAction(kCmdEyeRegist, QStringLiteral("視点登録(&V)"), &QmView::OnViewEyeRegist);
  AddViewAction(kCmdEyeDelAll, QStringLiteral("視点登録の全削除(&D)"), &QmView::OnViewEyeDelAll);
  AddViewAction(kCmdViewMaterial, QStringLiteral("材料表示(&M)"), &QmView::OnViewMaterial)
      ->setCheckable(true);
  AddViewAction(kCmdViewNormal, QStringLiteral("標準表示(&N)"), &QmView::OnViewNormal)
      ->setCheckable(true);
  AddViewAction(kCmdViewColors, QStringLiteral("色の変更(&C)"), &QmView::OnViewColors);
  AddViewAction(kCmdMatColorTable, QStringLiteral("材料配色表(&L)"), &QmView::OnViewMatColorTable);

  // QMdiArea's own cascade sizes the windows from a size hint the view does
  // not give (they shrank to their title bars), and its tile lays windows
  // over the minimised ones.
  AddAction(kCmdCascade, QStringLiteral("重ねて表示(&C)"), &CMainFrame::OnCascade);
  AddAction(kCmdTile, QStringLiteral("並べて表示(&T)"), &CMainFrame::OnTile);
  AddAction(kCmdArrangeIcons, QStringLiteral("アイコンの整列(&A)"), &CMainFrame::OnArrangeIcons);

  a = AddAction(kCmdViewToolbar, QStringLiteral("ツール バー(&T)"), nullptr);
  a->setCheckable(true);
  connect(a, &QAction::triggered, this, [this](bool on) { m_pToolBar->setVisible(on); });
  a = AddAction(kCmdViewStatusBar, QStringLiteral("ステータス バー(&S)"), nullptr);
  a->setCheckable(true);
  connect(a, &QAction::triggered, this, [this](bool on) { m_pStatus->setVisible(on); });

  a = AddAction(kCmdAppAbout, QStringLiteral("バージョン情報(&A)..."), nullptr);
  a->setIcon(st->standardIcon(QStyle::SP_MessageBoxQuestion));
  connect(a, &QAction::triggered, this, [this] { OnAppAbout(this); });
  AddAction(kCmdHelpKeys, QStringLiteral("操作キー一覧"), nullptr);
  connect(Action(kCmdHelpKeys), &QAction::triggered, this, [this] { OnHelpKeys(this); });
}

void CMainFrame::CreateMenus() {
  auto menu = [this](const char* name, const QString& title) {
    QMenu* m = menuBar()->addMenu(title);
    m->setObjectName(QString::fromLatin1(name));
    m_menus[m->objectName()] = m;
    connect(m, &QMenu::aboutToShow, this, &CMainFrame::UpdateCommandStates);
    return m;
  };
  QMenu* file = menu("menuFile", QStringLiteral("ファイル(&F)"));
  file->addAction(Action(kCmdFileOpen));
  file->addAction(Action(kCmdFileClose));
  file->addAction(Action(kCmdSaveEye));
  file->addSeparator();
  file->addAction(Action(kCmdAppExit));

  QMenu* disp = menu("menuDisplay", QStringLiteral("表示(&D)"));
  for (int id : {kCmdPlusX, kCmdMinusX, kCmdPlusY, kCmdMinusY, kCmdPlusZ, kCmdMinusZ})
    disp->addAction(Action(id));
  disp->addSeparator();
  disp->addAction(Action(kCmdEyeRegist));
  disp->addAction(Action(kCmdEyeDelAll));
  disp->addSeparator();
  disp->addAction(Action(kCmdViewNormal));
  disp->addAction(Action(kCmdViewMaterial));
  disp->addSeparator();
  disp->addAction(Action(kCmdViewColors));
  disp->addAction(Action(kCmdMatColorTable));

  QMenu* win = menu("menuWindow", QStringLiteral("ウィンドウ(&W)"));
  win->addAction(Action(kCmdCascade));
  win->addAction(Action(kCmdTile));
  win->addAction(Action(kCmdArrangeIcons));

  QMenu* view = menu("menuView", QStringLiteral("ビュー(&V)"));
  view->addAction(Action(kCmdViewToolbar));
  view->addAction(Action(kCmdViewStatusBar));

  QMenu* help = menu("menuHelp", QStringLiteral("ヘルプ(&H)"));
  help->addAction(Action(kCmdAppAbout));
  help->addAction(Action(kCmdHelpKeys));
}

QAction* CMainFrame::Action(int id) const {
  const auto it = m_actions.find(id);
  return it == m_actions.end() ? nullptr : it->second;
}

QMenu* CMainFrame::Menu(const QString& objectName) const {
  const auto it = m_menus.find(objectName);
  return it == m_menus.end() ? nullptr : it->second;
}

QmView* CMainFrame::ActiveView() const {
  auto* child = qobject_cast<CChildFrame*>(m_pMdi->activeSubWindow());
  if (!child) {
    // With the main window inactive, QMdiArea reports no active window;
    // the one last activated is still the current one.
    child = qobject_cast<CChildFrame*>(m_pLastActive.data());
  }
  return child ? child->View() : nullptr;
}

std::vector<CChildFrame*> CMainFrame::ChildFrames() const {
  std::vector<CChildFrame*> out;
  for (QMdiSubWindow* w : m_pMdi->subWindowList())
    if (auto* c = qobject_cast<CChildFrame*>(w)) out.push_back(c);
  return out;
}

void CMainFrame::UpdateCommandStates() {
  const bool loading = g_bLoading.load();
  QmView* v = ActiveView();
  const bool hasDoc = v != nullptr;

  // Without a document only File (Open, Close, Exit) and Help are offered.
  for (const char* name : {"menuDisplay", "menuWindow", "menuView"})
    if (QMenu* m = Menu(QString::fromLatin1(name))) m->menuAction()->setVisible(hasDoc);
  Action(kCmdSaveEye)->setVisible(hasDoc);

  Action(kCmdFileOpen)->setEnabled(!loading);
  Action(kCmdFileClose)->setEnabled(!loading && hasDoc);
  for (int id : {kCmdCascade, kCmdTile, kCmdArrangeIcons})
    Action(id)->setEnabled(!loading && hasDoc);
  for (int id : {int(kCmdFileSave), int(kCmdFileSaveAs), int(kCmdFilePrint), int(kCmdFilePrintPreview),
                 int(kCmdViewColors)})
    Action(id)->setEnabled(false);

  Action(kCmdSaveEye)->setEnabled(v && v->CanRegisterEye());
  Action(kCmdEyeRegist)->setEnabled(v && v->CanRegisterEye());
  Action(kCmdEyeDelAll)->setEnabled(v && v->CanDeleteEyes());
  for (int id : {kCmdPlusX, kCmdMinusX, kCmdPlusY, kCmdMinusY, kCmdPlusZ, kCmdMinusZ})
    Action(id)->setEnabled(hasDoc);
  Action(kCmdMatColorTable)->setEnabled(hasDoc);
  Action(kCmdViewMaterial)->setEnabled(hasDoc && !loading);
  Action(kCmdViewMaterial)->setChecked(v && v->DisplayMode() == 2);
  Action(kCmdViewNormal)->setEnabled(hasDoc && !loading);
  Action(kCmdViewNormal)->setChecked(v && v->DisplayMode() != 2);

  Action(kCmdViewToolbar)->setChecked(m_pToolBar && m_pToolBar->isVisible());
  Action(kCmdViewStatusBar)->setChecked(m_pStatus && m_pStatus->isVisible());
}

void CMainFrame::SetOpMode(int mode) { m_pStatus->SetOpMode(mode); }

void CMainFrame::ShowProgress(bool show) {
  if (show) {
    m_pStatus->Progress()->setRange(0, 100);
    m_pStatus->Progress()->setValue(std::min(m_nTick, 100));
  }
  m_pStatus->ShowProgress(show);
}

// ---------------------------------------------------------------------------
// Opening

CChildFrame* CMainFrame::FindChild(const std::string& path) const {
  for (CChildFrame* c : ChildFrames())
    if (c->Document() && c->Document()->m_strPath == path) return c;
  return nullptr;
}

CChildFrame* CMainFrame::AddChild(std::shared_ptr<QmDoc> doc) {
  auto* child = new CChildFrame(std::move(doc));
  m_pMdi->addSubWindow(child);
  connect(child->View(), &QmView::opModeChanged, this, &CMainFrame::SetOpMode);
  connect(child->View(), &QmView::commandStateChanged, this, &CMainFrame::UpdateCommandStates);
  // A view without a usable OpenGL context would stay blank without a word.
  connect(child->View(), &CGlView::sceneFailed, this,
          [this](const QString& message) { ShowMessage(this, message, MsgIcon::kStop); });
  child->showMaximized();
  m_pMdi->setActiveSubWindow(child);
  child->View()->setFocus();
  return child;
}

void CMainFrame::ShowMessages(const std::vector<DocMessage>& msgs) {
  for (const DocMessage& m : msgs) ShowMessage(this, TextToQString(m.text), m.icon);
}

CChildFrame* CMainFrame::OpenDocumentFile(const QString& qpath) {
  auto doc = std::make_shared<QmDoc>();
  doc->PrepareLoad(QStringToPath(qpath));
  const std::string path = doc->m_strPath;
  // A file that is open already is only brought to the front.
  if (CChildFrame* open = FindChild(path)) {
    m_pMdi->setActiveSubWindow(open);
    return open;
  }

  const DocBranch branch = doc->m_branch;
  if (branch == DocBranch::kKeyword) {
    const bool startedNow = m_loader.Enqueue(path, doc);
    CChildFrame* child = AddChild(doc);
    if (startedNow) {
      m_nTick = 0;
      ShowProgress(true);
    }
    StartTimer();
    AddToRecentFileList(qpath);
    UpdateCommandStates();
    return child;
  }

  // The other branches read the file on the spot through a reader the
  // opening made.
  std::string reason;
  std::unique_ptr<plat::LineReader> in = plat::LineReader::FromFile(path, &reason);
  if (!in) {
    ShowMessage(this, TextToQString(OpenErrorText(path, reason)), MsgIcon::kStop);
    return nullptr;
  }
  std::vector<DocMessage> msgs;
  QApplication::setOverrideCursor(Qt::WaitCursor);
  try {
    if (branch == DocBranch::kInput) {
      doc->LoadInputFile(*in, msgs);
    } else if (branch == DocBranch::kGrid) {
      in.reset();
      doc->LoadGridFile(msgs);
    }
  } catch (const std::exception& e) {
    // What could not be read is not shown at all.
    doc->MakeEmpty();
    msgs.push_back({OpenErrorText(path, e.what()), MsgIcon::kStop});
  }
  if (branch != DocBranch::kNone) doc->m_bReady = true;
  QApplication::restoreOverrideCursor();
  doc->m_bModified = false;
  ShowMessages(msgs);
  CChildFrame* child = AddChild(doc);
  AddToRecentFileList(qpath);
  UpdateCommandStates();
  return child;
}

QStringList CMainFrame::OpenFilters() {
  // The document type first; "all files" reaches the analysis inputs and
  // grid models, which the document opens as well.
  return {QStringLiteral("Ostrel Files (*.dat *.da_ *.DAT *.DA_)"),
          QStringLiteral("すべてのファイル (*.*)")};
}

void CMainFrame::OnFileOpen() {
  if (g_bLoading.load()) return;
  QFileDialog dlg(this, QStringLiteral("開く"));
  dlg.setAcceptMode(QFileDialog::AcceptOpen);
  dlg.setFileMode(QFileDialog::ExistingFile);
  dlg.setNameFilters(OpenFilters());
  QSettings profile(QStringLiteral("Tollgrane"), QStringLiteral("Ostrel"));
  dlg.setDirectory(OpenFolder(profile));
  if (RunModal(dlg) != QDialog::Accepted) return;
  const QStringList files = dlg.selectedFiles();
  if (!files.isEmpty() && !files.front().isEmpty()) OpenDocumentFile(files.front());
}

void CMainFrame::OnFileClose() {
  if (g_bLoading.load()) return;
  if (QMdiSubWindow* w = m_pMdi->activeSubWindow())
    w->close();
  else if (m_pLastActive)
    m_pLastActive->close();
}

void CMainFrame::OnArrangeIcons() {
  if (g_bLoading.load()) return;
  ArrangeIconic();
}

void CMainFrame::OnCascade() {
  if (g_bLoading.load()) return;
  const QRect area = ArrangeIconic();
  const std::vector<QMdiSubWindow*> windows = NormalWindows();
  if (windows.empty()) return;
  // One place further down and right per window: its title bar.
  QStyleOptionTitleBar opt;
  opt.initFrom(windows.front());
  const int step = style()->pixelMetric(QStyle::PM_TitleBarHeight, &opt, windows.front()) +
                   style()->pixelMetric(QStyle::PM_MdiSubWindowFrameWidth, nullptr, windows.front());
  const std::vector<QRect> rects = mdi_layout::Cascade(area, static_cast<int>(windows.size()), step);
  for (size_t i = 0; i < windows.size(); ++i) {
    windows[i]->setGeometry(rects[i]);
    windows[i]->raise();
  }
  ArrangeIconic();
}

void CMainFrame::OnTile() {
  if (g_bLoading.load()) return;
  const QRect area = ArrangeIconic();
  std::vector<QMdiSubWindow*> windows = NormalWindows();
  // The front window takes the first place.
  std::reverse(windows.begin(), windows.end());
  const std::vector<QRect> rects = mdi_layout::Tile(area, static_cast<int>(windows.size()));
  for (size_t i = 0; i < windows.size(); ++i) windows[i]->setGeometry(rects[i]);
  ArrangeIconic();
}

std::vector<QMdiSubWindow*> CMainFrame::NormalWindows() {
  std::vector<QMdiSubWindow*> out;
  for (QMdiSubWindow* w : m_pMdi->subWindowList(QMdiArea::StackingOrder)) {
    if (w->isMinimized() || !w->isVisible()) continue;
    if (w->isMaximized()) w->showNormal();
    out.push_back(w);
  }
  return out;
}

QRect CMainFrame::ArrangeIconic() {
  const QRect area = m_pMdi->viewport()->rect();
  std::vector<QMdiSubWindow*> icons;
  std::vector<QSize> sizes;
  for (QMdiSubWindow* w : m_pMdi->subWindowList(QMdiArea::CreationOrder)) {
    if (!w->isMinimized() || !w->isVisible()) continue;
    icons.push_back(w);
    sizes.push_back(w->size());
  }
  int band = 0;
  const std::vector<QRect> rects = mdi_layout::Icons(area, sizes, &band);
  for (size_t i = 0; i < icons.size(); ++i) {
    icons[i]->move(rects[i].topLeft());
    icons[i]->raise();
  }
  // The others keep at least half the area.
  QRect rest = area;
  if (band > 0 && band <= area.height() / 2) rest.setBottom(area.bottom() - band);
  return rest;
}

void CMainFrame::OnSubWindowActivated(QMdiSubWindow* window) {
  if (window && window != m_pLastActive) {
    if (auto* old = qobject_cast<CChildFrame*>(m_pLastActive.data())) old->View()->OnActivateView(false);
    m_pLastActive = window;
    if (auto* now = qobject_cast<CChildFrame*>(window)) now->View()->OnActivateView(true);
  } else if (!window && m_pMdi->subWindowList().isEmpty()) {
    m_pLastActive = nullptr;
  }
  if (m_pLastActive && !m_pMdi->subWindowList().contains(m_pLastActive.data())) m_pLastActive = nullptr;
  UpdateCommandStates();
}

// ---------------------------------------------------------------------------
// Loading timer

void CMainFrame::StartTimer() {
  if (!m_timer.isActive()) m_timer.start();
}

void CMainFrame::OnTimer() {
  ++m_nTick;
  m_pStatus->Progress()->setValue(std::min(m_nTick, 100));
  m_loader.CancelUnwanted();
  // A message box of the last load may still be open.
  if (m_bInTimer) return;
  QScopedValueRollback<bool> guard(m_bInTimer, true);
  std::unique_ptr<LoadBlock> done = m_loader.TakeFinished();
  if (!done && m_loader.Running()) return;
  if (m_loader.StartNext()) {
    m_nTick = 0;
    ShowProgress(true);
  } else {
    m_timer.stop();
    ShowProgress(false);
  }
  UpdateCommandStates();
  if (done) FinishLoad(std::move(done));
}

void CMainFrame::FinishLoad(std::unique_ptr<LoadBlock> block) {
  QmDoc* doc = block->pDoc.get();
  doc->m_bModified = false;
  for (CChildFrame* c : ChildFrames())
    if (c->Document() == doc) c->View()->OnUpdate();
  if (g_pMatColorDlg) g_pMatColorDlg->DocumentLoaded(doc);
  ShowMessages(block->messages);
  // The last owner of a document closed during its load lets it go here,
  // on the UI thread.
  block.reset();
  UpdateCommandStates();
}

// ---------------------------------------------------------------------------
// Window events

void CMainFrame::closeEvent(QCloseEvent* event) {
  m_timer.stop();
  // The worker writes into its document until it ends.
  m_loader.Shutdown();
  // No window of ours may keep the program running.
  if (g_pMatColorDlg) g_pMatColorDlg->hide();
  if (CKeysDlg* keys = CKeysDlg::Instance()) keys->hide();
  if (CSplashDlg* splash = CSplashDlg::Instance()) splash->hide();
  event->accept();
}

bool CMainFrame::event(QEvent* event) {
  // The first OpenGL view makes Qt create the frame's native window anew,
  // and the new one would forget the state the frame was shown with (a
  // maximised frame came back at its normal size): it gets it before it is
  // mapped.
  if (event->type() == QEvent::WinIdChange) {
    if (QWindow* w = windowHandle(); w && w->windowStates() != windowState()) w->setWindowStates(windowState());
  }
  return QMainWindow::event(event);
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
  const QStringList files = DroppedLocalFiles(*event->mimeData());
  event->acceptProposedAction();
  activateWindow();
  for (const QString& file : files) OpenDocumentFile(file);
}
