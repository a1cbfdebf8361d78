// Opening files in the running program: extension dispatch, background
// loading with the progress bar and the greyed commands, the picture of a
// loaded model, open errors, documents closed or the program ended while
// a load runs.
#include <QDir>
#include <QDropEvent>
#include <QMdiArea>
#include <QMenu>
#include <QMimeData>
#include <cstring>
#include <QProgressBar>
#include <QUrl>

#include "modelviewer/qm_dialogs.h"
#include "mv_test_support.h"
#include "platform/text_lines.h"
#include "viewer/gl/status_bar.h"

using namespace mvtest;

namespace {

TEST(DocBranchTest, ExtensionPicksTheLoader) {
  struct Case {
    const char* path;
    DocBranch branch;
  } cases[] = {
      {"/d/model.dat", DocBranch::kKeyword},  {"/d/MODEL.DAT", DocBranch::kKeyword},
      {"/d/model.da_", DocBranch::kKeyword},  {"/d/model.DA_", DocBranch::kKeyword},
      {"/d/run.in", DocBranch::kInput},       {"/d/RUN.IN", DocBranch::kInput},
      {"/d/shell.grid", DocBranch::kGrid},    {"/d/shell.Grid", DocBranch::kGrid},
      {"/d/notes.txt", DocBranch::kNone},     {"/d/model", DocBranch::kNone},
      {"/d/model.dat.bak", DocBranch::kNone}, {"/d.dat/model", DocBranch::kNone},
      {"/d/model.data", DocBranch::kNone},    {"/d/model.i", DocBranch::kNone},
  };
  for (const Case& c : cases) EXPECT_EQ(BranchOfPath(c.path), c.branch) << c.path;
}

TEST(LoadTest, KeywordFileLoadsInTheBackgroundAndIsDrawn) {
  TempFolder dir;
  WriteSquareModel(dir.Path("square.dat"), 1);
  dir.Write("color.txt", "1\n1 255 0 0\n");
  Program prog;
  MessageRecorder messages;

  // Before any document: Open enabled, the document menus hidden.
  EXPECT_TRUE(prog.frame->Action(kCmdFileOpen)->isEnabled());
  EXPECT_FALSE(prog.frame->Menu("menuDisplay")->menuAction()->isVisible());

  CChildFrame* child = prog.Open(dir.Path("square.dat"));
  ASSERT_NE(child, nullptr);
  // Until the timer has seen the worker end, the load counts as running.
  EXPECT_TRUE(g_bLoading.load());
  EXPECT_TRUE(prog.frame->StatusBar()->Progress()->isVisible());
  for (int id : {int(kCmdFileOpen), int(kCmdFileClose), int(kCmdCascade), int(kCmdTile),
                 int(kCmdArrangeIcons), int(kCmdSaveEye), int(kCmdEyeRegist), int(kCmdEyeDelAll),
                 int(kCmdViewMaterial), int(kCmdViewNormal)})
    EXPECT_FALSE(prog.frame->Action(id)->isEnabled()) << id;
  EXPECT_TRUE(prog.frame->Menu("menuDisplay")->menuAction()->isVisible());

  ASSERT_TRUE(prog.WaitIdle());
  EXPECT_FALSE(prog.frame->StatusBar()->Progress()->isVisible());
  QmDoc* doc = child->Document();
  EXPECT_TRUE(doc->m_bReady.load());
  EXPECT_FALSE(doc->m_bModified);
  EXPECT_EQ(doc->m_nNodes, 4);
  EXPECT_EQ(doc->m_nElems4, 1);
  ASSERT_EQ(doc->m_nMats, 1);
  EXPECT_EQ(doc->m_aMats[0].r, 255);
  EXPECT_TRUE(messages.shown.empty());
  // The UI thread's column layout never changed.
  EXPECT_EQ(g_nColumnMode, 0);

  for (int id : {int(kCmdFileOpen), int(kCmdFileClose), int(kCmdCascade), int(kCmdTile),
                 int(kCmdArrangeIcons), int(kCmdViewMaterial), int(kCmdViewNormal)})
    EXPECT_TRUE(prog.frame->Action(id)->isEnabled()) << id;

  // Normal display: the surface colour where the shell is, the background
  // in the far corner.
  QmView* view = child->View();
  QImage img = Grab(view);
  ASSERT_FALSE(img.isNull());
  const QPoint centre(img.width() / 2, img.height() / 2);
  EXPECT_TRUE(Near(img.pixel(centre), 100, 100, 100)) << std::hex << img.pixel(centre);
  EXPECT_TRUE(Near(img.pixel(img.width() - 3, 3), 128, 128, 128)) << std::hex << img.pixel(img.width() - 3, 3);
  // The viewpoint list exists after the first frame: the commands come on.
  prog.frame->UpdateCommandStates();
  EXPECT_TRUE(prog.frame->Action(kCmdSaveEye)->isEnabled());
  EXPECT_TRUE(prog.frame->Action(kCmdEyeRegist)->isEnabled());
  EXPECT_TRUE(prog.frame->Action(kCmdEyeDelAll)->isEnabled());

  // Material display: the material's colour from color.txt.
  prog.frame->Action(kCmdViewMaterial)->trigger();
  EXPECT_TRUE(prog.frame->Action(kCmdViewMaterial)->isChecked());
  EXPECT_FALSE(prog.frame->Action(kCmdViewNormal)->isChecked());
  img = Grab(view);
  EXPECT_TRUE(Near(img.pixel(centre), 255, 0, 0)) << std::hex << img.pixel(centre);
  EXPECT_TRUE(Near(img.pixel(img.width() - 3, 3), 128, 128, 128));
  prog.frame->Action(kCmdViewNormal)->trigger();
  EXPECT_TRUE(prog.frame->Action(kCmdViewNormal)->isChecked());
}

// However the load's end and the view's first frames fall, the model is
// drawn once: not in the frames Qt paints before the view shows, and not
// again when the loader's end reaches a view that has drawn it.
TEST(LoadTest, AnOpenedModelIsDrawnOnce) {
  TempFolder dir;
  WriteSquareModel(dir.Path("square.dat"), 1);
  Program prog;
  CChildFrame* child = prog.Open(dir.Path("square.dat"));
  ASSERT_NE(child, nullptr);
  QmView* view = child->View();
  EXPECT_EQ(view->DrawnFrames(), 0);
  ASSERT_TRUE(prog.WaitIdle());
  ASSERT_TRUE(WaitFor([&] { return view->DrawnFrames() > 0; }));
  for (int i = 0; i < 3; ++i) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
  EXPECT_EQ(view->DrawnFrames(), 1);
}

TEST(LoadTest, ReadyDocumentOfNoColourTableTakesTheDefaultPalette) {
  TempFolder dir;
  WriteSquareModel(dir.Path("plain.DAT"), 5);
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("plain.DAT"));
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(prog.WaitIdle());
  const QmDoc* doc = child->Document();
  ASSERT_EQ(doc->m_nMats, 1);
  // Palette 1 of the built-in table, first colour.
  const PaletteColor& first = g_BuiltinPalettes[1].colors[0];
  EXPECT_EQ(doc->m_aMats[0].r, first.r);
  EXPECT_EQ(doc->m_aMats[0].g, first.g);
  EXPECT_EQ(doc->m_aMats[0].b, first.b);
  EXPECT_EQ(doc->m_colorTable.m_nColors, 13);
}

TEST(LoadTest, FilesBesideARelativePathAreFoundInItsFolder) {
  TempFolder dir;
  WriteSquareModel(dir.Path("rel.dat"), 1);
  dir.Write("color.txt", "1\n1 255 0 0\n");
  Program prog;
  const QString cwd = QDir::currentPath();
  QDir::setCurrent(dir.dir.path());
  CChildFrame* child = prog.Open("rel.dat");
  QDir::setCurrent(cwd);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(prog.WaitIdle());
  const QmDoc* doc = child->Document();
  EXPECT_EQ(doc->m_strPath, dir.Path("rel.dat"));
  EXPECT_EQ(doc->m_szFolder, dir.Path(""));
  EXPECT_EQ(doc->m_szStemPath, dir.Path("rel"));
  EXPECT_EQ(doc->m_szName, "rel");
  ASSERT_EQ(doc->m_nMats, 1);
  EXPECT_EQ(doc->m_aMats[0].r, 255);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("rel.dat"));
}

TEST(LoadTest, MissingKeywordFileGivesTheOpenErrorAndAnEmptyReadyDocument) {
  TempFolder dir;
  Program prog;
  MessageRecorder messages;
  const std::string path = dir.Path("gone.da_");
  CChildFrame* child = prog.Open(path);
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(prog.WaitIdle());
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text,
            QString::fromStdString(path) + QStringLiteral("：ファイルオープンエラー\r\n") +
                QString::fromLocal8Bit(std::strerror(ENOENT)));
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::kStop);
  EXPECT_TRUE(child->Document()->m_bReady.load());
  EXPECT_EQ(child->Document()->m_nNodes, 0);
  // Open is back after the failed load.
  EXPECT_TRUE(prog.frame->Action(kCmdFileOpen)->isEnabled());
  // Nothing to draw: no viewpoint list, so no viewpoint commands.
  Grab(child->View());
  prog.frame->UpdateCommandStates();
  EXPECT_FALSE(child->View()->HasEyeList());
  EXPECT_FALSE(prog.frame->Action(kCmdEyeRegist)->isEnabled());
  EXPECT_FALSE(prog.frame->Action(kCmdSaveEye)->isEnabled());
}

TEST(LoadTest, OtherExtensionsOpenAnEmptyDocumentWithoutMessage) {
  TempFolder dir;
  dir.Write("notes.txt", "/nodes\n");
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("notes.txt"));
  ASSERT_NE(child, nullptr);
  EXPECT_FALSE(g_bLoading.load());
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(child->Document()->m_nNodes, 0);
  EXPECT_EQ(child->Document()->m_branch, DocBranch::kNone);
  EXPECT_FALSE(prog.frame->StatusBar()->Progress()->isVisible());
  // An empty window: the view's plain background.
  const QImage img = Grab(child->View());
  const QColor bg = child->View()->palette().color(QPalette::Window);
  EXPECT_TRUE(Near(img.pixel(img.width() / 2, img.height() / 2), bg.red(), bg.green(), bg.blue()));
}

TEST(LoadTest, MissingFileOfAnotherKindOpensNoDocument) {
  TempFolder dir;
  Program prog;
  MessageRecorder messages;
  const std::string path = dir.Path("run.in");
  EXPECT_EQ(prog.Open(path), nullptr);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_TRUE(messages.shown[0].text.startsWith(QString::fromStdString(path) +
                                                QStringLiteral("：ファイルオープンエラー\r\n")));
  EXPECT_TRUE(prog.frame->ChildFrames().empty());
}

TEST(LoadTest, OpeningAnOpenFileActivatesItsWindow) {
  TempFolder dir;
  WriteSquareModel(dir.Path("a.dat"));
  WriteSquareModel(dir.Path("b.dat"));
  Program prog;
  CChildFrame* a = prog.Open(dir.Path("a.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  CChildFrame* b = prog.Open(dir.Path("b.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  EXPECT_EQ(prog.frame->MdiArea()->currentSubWindow(), b);
  EXPECT_EQ(prog.Open(dir.Path("a.dat")), a);
  EXPECT_EQ(prog.frame->ChildFrames().size(), 2u);
  EXPECT_EQ(prog.frame->MdiArea()->currentSubWindow(), a);
}

TEST(LoadTest, TwoDroppedFilesLoadEachIntoItsOwnDocument) {
  TempFolder dir;
  WriteSquareModel(dir.Path("one.dat"), 1);
  WriteSquareModel(dir.Path("two.da_"), 2);
  Program prog;
  MessageRecorder messages;
  QMimeData mime;
  mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(dir.Path("one.dat"))),
                QUrl::fromLocalFile(QString::fromStdString(dir.Path("two.da_")))});
  QDragEnterEvent enter(QPoint(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(prog.frame, &enter);
  EXPECT_TRUE(enter.isAccepted());
  QDropEvent drop(QPointF(100, 100), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(prog.frame, &drop);
  // The second waits its turn behind the first.
  EXPECT_TRUE(g_bLoading.load());
  ASSERT_TRUE(prog.WaitIdle());
  const auto children = prog.frame->ChildFrames();
  ASSERT_EQ(children.size(), 2u);
  std::vector<std::string> names;
  for (CChildFrame* c : children) {
    const QmDoc* d = c->Document();
    EXPECT_TRUE(d->m_bReady.load());
    EXPECT_EQ(d->m_nNodes, 4);
    ASSERT_EQ(d->m_nMats, 1);
    EXPECT_EQ(d->m_aMats[0].nNo, d->m_szName == "one" ? 1 : 2);
    names.push_back(d->m_szName);
  }
  EXPECT_NE(names[0], names[1]);
  EXPECT_TRUE(messages.shown.empty());
}

TEST(LoadTest, DocumentClosedDuringItsLoadLivesUntilTheWorkerEnds) {
  TempFolder dir;
  WriteSquareModel(dir.Path("closed.dat"));
  WriteSquareModel(dir.Path("queued.dat"));
  WriteSquareModel(dir.Path("kept.dat"));
  Program prog;
  CChildFrame* first = prog.Open(dir.Path("closed.dat"));
  CChildFrame* second = prog.Open(dir.Path("queued.dat"));
  CChildFrame* third = prog.Open(dir.Path("kept.dat"));
  std::weak_ptr<QmDoc> firstDoc = first->View()->DocumentPtr();
  std::weak_ptr<QmDoc> secondDoc = second->View()->DocumentPtr();
  first->close();
  second->close();
  ASSERT_TRUE(prog.WaitIdle());
  EXPECT_TRUE(firstDoc.expired());
  EXPECT_TRUE(secondDoc.expired());
  ASSERT_EQ(prog.frame->ChildFrames().size(), 1u);
  EXPECT_EQ(prog.frame->ChildFrames()[0], third);
  EXPECT_TRUE(third->Document()->m_bReady.load());
}

TEST(LoadTest, ClosingTheProgramWaitsForTheWorker) {
  TempFolder dir;
  WriteSquareModel(dir.Path("exit.dat"));
  WriteSquareModel(dir.Path("exit2.dat"));
  std::weak_ptr<QmDoc> doc;
  {
    Program prog;
    CChildFrame* child = prog.Open(dir.Path("exit.dat"));
    prog.Open(dir.Path("exit2.dat"));
    doc = child->View()->DocumentPtr();
    prog.frame->close();
    EXPECT_FALSE(g_bLoading.load());
    EXPECT_FALSE(prog.frame->Loader().Running());
  }
  EXPECT_TRUE(doc.expired());
}

TEST(LoaderTest, WorkerFailureEndsWithAReadyEmptyDocument) {
  TempFolder dir;
  CModelLoader loader;
  auto doc = std::make_shared<QmDoc>();
  const std::string path = dir.Path("missing.dat");
  EXPECT_TRUE(loader.Enqueue(path, doc));
  EXPECT_TRUE(g_bLoading.load());
  EXPECT_TRUE(loader.IsLoading(doc.get()));
  std::unique_ptr<LoadBlock> done;
  ASSERT_TRUE(WaitFor([&] { return (done = loader.TakeFinished()) != nullptr; }));
  EXPECT_EQ(done->nProgress.load(), 100);
  EXPECT_TRUE(doc->m_bReady.load());
  ASSERT_EQ(done->messages.size(), 1u);
  EXPECT_EQ(done->messages[0].text.rfind(path + "：ファイルオープンエラー\r\n", 0), 0u);
  EXPECT_FALSE(loader.StartNext());
  EXPECT_FALSE(g_bLoading.load());
  EXPECT_TRUE(loader.Idle());
}

TEST(LoaderTest, ALaterJobWaitsAndAnUnwantedOneIsSkipped) {
  TempFolder dir;
  WriteSquareModel(dir.Path("a.dat"));
  WriteSquareModel(dir.Path("b.dat"));
  CModelLoader loader;
  auto a = std::make_shared<QmDoc>();
  auto b = std::make_shared<QmDoc>();
  EXPECT_TRUE(loader.Enqueue(dir.Path("a.dat"), a));
  EXPECT_FALSE(loader.Enqueue(dir.Path("b.dat"), b));
  EXPECT_FALSE(b->m_bReady.load());
  std::weak_ptr<QmDoc> weakA = a, weakB = b;
  b.reset();  // closed while it waited
  a.reset();  // closed while it loads
  // The running job keeps its document until the worker has ended.
  EXPECT_FALSE(weakA.expired());
  std::unique_ptr<LoadBlock> done;
  ASSERT_TRUE(WaitFor([&] { return (done = loader.TakeFinished()) != nullptr; }));
  EXPECT_EQ(done->pDoc, weakA.lock());
  EXPECT_EQ(done->pDoc->m_nNodes, 4);
  EXPECT_FALSE(loader.StartNext());
  EXPECT_FALSE(g_bLoading.load());
  EXPECT_TRUE(weakB.expired());
  done.reset();
  EXPECT_TRUE(weakA.expired());
}

// Exit, or the document's window closed, gives up the running load: it
// reads no further and leaves its document empty, with nothing to tell.
TEST(LoaderTest, ExitAndAClosedDocumentGiveUpTheRunningLoad) {
  TempFolder dir;
  WriteSquareModel(dir.Path("a.dat"));
  for (const bool byClose : {false, true}) {
    CModelLoader loader;
    auto doc = std::make_shared<QmDoc>();
    std::shared_ptr<QmDoc> kept = doc;
    std::atomic<bool> sawCancel{false};
    // The worker holds before it reads until the load is given up.
    g_fnLoadStartHook = [&] {
      for (int i = 0; i < 30000 && !sawCancel; ++i) {
        sawCancel = loader.Current()->bCancel.load();
        if (!sawCancel) QThread::msleep(1);
      }
    };
    ASSERT_TRUE(loader.Enqueue(dir.Path("a.dat"), doc));
    std::unique_ptr<LoadBlock> done;
    if (byClose) {
      kept.reset();
      std::weak_ptr<QmDoc> weak = doc;
      doc.reset();
      loader.CancelUnwanted();
      ASSERT_TRUE(WaitFor([&] { return (done = loader.TakeFinished()) != nullptr; }, 60000));
      EXPECT_EQ(done->pDoc->m_nNodes, 0);
      EXPECT_TRUE(done->messages.empty());
    } else {
      loader.Shutdown();
      EXPECT_EQ(kept->m_nNodes, 0);
    }
    g_fnLoadStartHook = nullptr;
    EXPECT_TRUE(sawCancel) << byClose;
  }
}

// A keyword file that gives no record at all is told, whatever made it so;
// a line too long is told with its line number instead.
TEST(LoadTest, AKeywordFileOfNoRecordIsTold) {
  TempFolder dir;
  const std::string model = dir.Path("square.dat");
  WriteSquareModel(model);
  std::string good;
  ASSERT_TRUE(plat::ReadWholeFile(model, good));
  auto crOnly = [](std::string t) {
    std::string out;
    for (char c : t)
      if (c != '\n') out += c;
    return out;
  };
  auto nulInKeywords = [](std::string t) {
    for (size_t p = 0; (p = t.find("\n/", p)) != std::string::npos; p += 2) t.insert(p + 2, 1, '\0');
    return std::string(1, t[0]) + '\0' + t.substr(1);
  };
  const struct {
    const char* what;
    std::string text;
    std::string told;  // "" nothing
  } cases[] = {
      {"good", good, ""},
      {"CR-only line ends", crOnly(good), "no record"},
      {"NUL in the keyword lines", nulInKeywords(good), "no record"},
      {"empty", "", "no record"},
      {"a line too long", good.substr(0, good.find('\n') + 1) + std::string(plat::LineReader::kMaxLineBytes + 1, '1'),
       "2行目の長さが上限の1048576ﾊﾞｲﾄを超えています。途中までのデータを読み込みました"},
  };
  for (const auto& c : cases) {
    const std::string path = dir.Path("case.dat");
    ASSERT_TRUE(plat::WriteWholeFile(path, c.text));
    auto doc = std::make_shared<QmDoc>();
    doc->PrepareLoad(path);
    std::vector<DocMessage> msgs;
    doc->LoadDatFile(msgs);
    std::string all;
    for (const DocMessage& m : msgs) all += m.text + "|";
    if (c.told.empty()) {
      EXPECT_EQ(all, "") << c.what;
      EXPECT_EQ(doc->m_nNodes, 4) << c.what;
    } else if (c.told == "no record") {
      EXPECT_EQ(all, NoRecordText(doc->m_strPath) + "|") << c.what;
    } else {
      EXPECT_EQ(all, doc->m_strPath + "：" + c.told + "|") << c.what;
    }
  }
}

}  // namespace
