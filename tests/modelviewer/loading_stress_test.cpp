// Background loading under pressure: several keyword files opened at once,
// documents closed while they load or wait, the program closed with loads
// queued, and the loader driven directly while its documents are dropped
// at every stage. Run under ThreadSanitizer by tools/test.sh; every case
// also checks what the user is left with.
#include <QMdiArea>
#include <QMdiSubWindow>

#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "modelviewer/qm_loader.h"
#include "mv_test_support.h"

using namespace mvtest;

namespace {

// A flat grid of k x k shells on (k + 1)^2 nodes, material `mat`, large
// enough that a load takes a while and the UI thread gets to act meanwhile.
void WriteGridModel(const std::string& path, int k, int mat = 1) {
  CIpDataSet ds;
  for (int j = 0; j <= k; ++j)
    for (int i = 0; i <= k; ++i) {
      auto n = std::make_unique<CIpNode>();
      n->m_nNo = j * (k + 1) + i + 1;
      n->m_dX = i;
      n->m_dY = j;
      n->m_dZ = 0.01 * ((i * j) % 7);
      ds.m_Nodes.Append(std::move(n));
    }
  auto m = std::make_unique<CIpMat>();
  m->m_nNo = mat;
  ds.m_Mats.Append(std::move(m));
  auto ps = std::make_unique<CIpPShell>();
  ps->m_nNo = 7;
  ps->m_nPsOpt = mat;
  ds.m_PShells.Append(std::move(ps));
  for (int j = 0; j < k; ++j)
    for (int i = 0; i < k; ++i) {
      auto q = std::make_unique<CIpQuad>();
      q->m_nNo = j * k + i + 1;
      q->m_nRef = 7;
      const int n0 = j * (k + 1) + i + 1;
      q->m_anNode[0] = n0;
      q->m_anNode[1] = n0 + 1;
      q->m_anNode[2] = n0 + k + 2;
      q->m_anNode[3] = n0 + k + 1;
      ds.m_Quads.Append(std::move(q));
    }
  ColumnModeScope wide(1);
  std::string error;
  ASSERT_TRUE(ds.WriteFile(path, &error)) << error;
}

int NodesOf(int k) { return (k + 1) * (k + 1); }

// The grid size of file i: a little different for each, so that loads end
// at different times.
int SizeOf(int i) { return 36 + 4 * (i % 4); }

struct Files {
  TempFolder dir;
  std::vector<std::string> paths;
  explicit Files(int n, const char* stem = "m") {
    for (int i = 0; i < n; ++i) {
      paths.push_back(dir.Path(stem + std::to_string(i) + (i % 2 ? ".da_" : ".dat")));
      WriteGridModel(paths.back(), SizeOf(i), 1 + i % 3);
    }
  }
};

// What the user does while loads run: looks at the windows (each paint
// asks its document whether it is ready), switches between them and opens
// the menus, whose commands are updated.
void UseTheProgramFor(Program& prog, int ms) {
  QElapsedTimer t;
  t.start();
  int turn = 0;
  do {
    const auto children = prog.frame->ChildFrames();
    if (!children.empty()) {
      CChildFrame* c = children[static_cast<size_t>(turn++) % children.size()];
      prog.frame->MdiArea()->setActiveSubWindow(c);
      c->View()->update();
    }
    prog.frame->UpdateCommandStates();
    Pump(5);
  } while (t.elapsed() < ms);
}

void ExpectLoaded(const QmDoc* doc, int k) {
  ASSERT_NE(doc, nullptr);
  EXPECT_TRUE(doc->m_bReady.load());
  EXPECT_EQ(doc->m_nNodes, NodesOf(k)) << doc->m_strPath;
  EXPECT_EQ(doc->m_nElems4, k * k) << doc->m_strPath;
  EXPECT_EQ(doc->m_nMats, 1) << doc->m_strPath;
}

TEST(LoadingStressTest, SeveralFilesOpenedAtOnceEachLoadIntoTheirOwnDocument) {
  Files files(5);
  Program prog;
  MessageRecorder messages;
  std::vector<CChildFrame*> children;
  for (const std::string& p : files.paths) children.push_back(prog.Open(p));
  EXPECT_TRUE(g_bLoading.load());
  UseTheProgramFor(prog, 150);
  ASSERT_TRUE(prog.WaitIdle(60000));
  ASSERT_EQ(prog.frame->ChildFrames().size(), files.paths.size());
  for (size_t i = 0; i < children.size(); ++i) ExpectLoaded(children[i]->Document(), SizeOf(static_cast<int>(i)));
  EXPECT_TRUE(messages.shown.empty());
  // Every window draws its model.
  for (CChildFrame* c : children) {
    prog.frame->MdiArea()->setActiveSubWindow(c);
    EXPECT_FALSE(Grab(c->View()).isNull());
  }
  EXPECT_EQ(g_nColumnMode, 0);
}

TEST(LoadingStressTest, DocumentsClosedWhileTheyLoadOrWaitGoAndTheOthersLoad) {
  Files files(6);
  Program prog;
  MessageRecorder messages;
  std::vector<CChildFrame*> children;
  std::vector<std::weak_ptr<QmDoc>> docs;
  for (const std::string& p : files.paths) {
    children.push_back(prog.Open(p));
    docs.push_back(children.back()->View()->DocumentPtr());
  }
  // The running load and a waiting one closed at once, another waiting one
  // after the program was used for a while, the first survivor's
  // neighbour while it may be loading.
  children[0]->close();
  children[3]->close();
  UseTheProgramFor(prog, 40);
  children[5]->close();
  UseTheProgramFor(prog, 40);
  children[2]->close();
  ASSERT_TRUE(prog.WaitIdle(60000));
  Pump(50);

  for (int closed : {0, 2, 3, 5}) EXPECT_TRUE(docs[static_cast<size_t>(closed)].expired()) << closed;
  const auto left = prog.frame->ChildFrames();
  ASSERT_EQ(left.size(), 2u);
  ExpectLoaded(children[1]->Document(), SizeOf(1));
  ExpectLoaded(children[4]->Document(), SizeOf(4));
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_FALSE(g_bLoading.load());
  EXPECT_TRUE(prog.frame->Action(kCmdFileOpen)->isEnabled());
}

TEST(LoadingStressTest, EveryDocumentClosedWhileLoadingThenTheFilesOpenAgain) {
  Files files(4);
  Program prog;
  MessageRecorder messages;
  std::vector<std::weak_ptr<QmDoc>> docs;
  for (const std::string& p : files.paths) docs.push_back(prog.Open(p)->View()->DocumentPtr());
  for (CChildFrame* c : prog.frame->ChildFrames()) c->close();
  ASSERT_TRUE(prog.WaitIdle(60000));
  Pump(50);
  for (const auto& d : docs) EXPECT_TRUE(d.expired());
  EXPECT_TRUE(prog.frame->ChildFrames().empty());

  // The same files again: nothing of the closed loads is left in the way.
  std::vector<CChildFrame*> again;
  for (const std::string& p : files.paths) again.push_back(prog.Open(p));
  UseTheProgramFor(prog, 50);
  ASSERT_TRUE(prog.WaitIdle(60000));
  ASSERT_EQ(prog.frame->ChildFrames().size(), files.paths.size());
  for (size_t i = 0; i < again.size(); ++i) ExpectLoaded(again[i]->Document(), SizeOf(static_cast<int>(i)));
  EXPECT_TRUE(messages.shown.empty());
}

TEST(LoadingStressTest, ProgramClosedWhileLoadsRunAndWait) {
  Files files(4);
  // Closed at a different moment of the loads each time.
  for (int wait : {0, 5, 25, 60}) {
    SCOPED_TRACE(wait);
    std::vector<std::weak_ptr<QmDoc>> docs;
    {
      Program prog;
      for (const std::string& p : files.paths) docs.push_back(prog.Open(p)->View()->DocumentPtr());
      UseTheProgramFor(prog, wait);
      prog.frame->close();
      EXPECT_FALSE(g_bLoading.load());
      EXPECT_FALSE(prog.frame->Loader().Running());
    }
    Pump(20);
    for (const auto& d : docs) EXPECT_TRUE(d.expired());
  }
}

// The loader as the main frame's timer drives it, with documents dropped
// at every stage: before their load starts, while it runs, and right
// after it ended but before the UI thread took it.
TEST(LoadingStressTest, LoaderKeepsEachDocumentAliveUntilItsWorkerEnds) {
  Files files(4, "direct");
  for (int round = 0; round < 12; ++round) {
    SCOPED_TRACE(round);
    CModelLoader loader;
    std::vector<std::shared_ptr<QmDoc>> owners;
    std::vector<std::weak_ptr<QmDoc>> docs;
    for (const std::string& p : files.paths) {
      owners.push_back(std::make_shared<QmDoc>());
      docs.push_back(owners.back());
      loader.Enqueue(p, owners.back());
    }
    // Which documents this round gives up, and when.
    const size_t dropNow = static_cast<size_t>(round % 4);
    const size_t dropLater = static_cast<size_t>((round + 2) % 4);
    owners[dropNow].reset();

    std::vector<std::unique_ptr<LoadBlock>> finished;
    QElapsedTimer clock;
    clock.start();
    int polls = 0;
    while (!loader.Idle()) {
      ASSERT_LT(clock.elapsed(), 60000);
      if (++polls == 1 + round % 5) owners[dropLater].reset();
      if (std::unique_ptr<LoadBlock> done = loader.TakeFinished()) {
        // What the UI thread reads once the worker has ended.
        EXPECT_TRUE(done->bDone.load());
        EXPECT_TRUE(done->pDoc->m_bReady.load());
        EXPECT_TRUE(done->messages.empty());
        finished.push_back(std::move(done));
      }
      if (!loader.Running()) loader.StartNext();
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    EXPECT_FALSE(g_bLoading.load());
    for (size_t i = 0; i < owners.size(); ++i)
      if (owners[i]) ExpectLoaded(owners[i].get(), SizeOf(static_cast<int>(i)));
    // A document dropped while it waited was never loaded and is gone (the
    // first one started at once); one dropped later lives exactly as long
    // as its finished job.
    if (dropNow != 0) {
      EXPECT_TRUE(docs[dropNow].expired());
    }
    finished.clear();
    for (size_t i = 0; i < docs.size(); ++i) EXPECT_EQ(docs[i].expired(), !owners[i]) << i;
  }
}

}  // namespace
