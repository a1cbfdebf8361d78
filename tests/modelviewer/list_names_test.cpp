// Display-list names over a session: every name a view generates is deleted
// when its document is closed or when Qt replaces its context, so that the
// count the scenes keep comes back to where it was.
#include <QPixmapCache>

#include <fstream>
#include <sstream>

#include "mv_test_support.h"

using namespace mvtest;

namespace {

long Live() { return CGlListSet::LiveNames(); }
long LiveBatches() { return CListBatches::LiveNames(); }

struct Session {
  Program prog;
  TempFolder dir;
  std::string paths[2] = {dir.Path("square.dat"), dir.Path("other.dat")};
  const long before = Live();
  Session() {
    for (const std::string& p : paths) WriteSquareModel(p);
  }

  // Opens a model and lets its first picture compile the lists.
  CChildFrame* OpenDrawn(int file = 0) {
    CChildFrame* c = prog.Open(paths[file]);
    EXPECT_NE(c, nullptr);
    if (!c) return nullptr;
    EXPECT_TRUE(prog.WaitIdle());
    EXPECT_FALSE(Grab(c->View()).isNull());
    return c;
  }
  void Close(CChildFrame* c) {
    c->close();
    Pump(50);
  }
};

TEST(ListNamesTest, ClosingADocumentDeletesEveryNameItsViewMade) {
  Session s;
  MessageRecorder messages;
  for (int round = 0; round < 3; ++round) {
    CChildFrame* a = s.OpenDrawn();
    ASSERT_NE(a, nullptr);
    const long perView = a->View()->Scene().Lists().Count();
    EXPECT_EQ(Live(), s.before + perView) << round;
    // A second document's view holds names of its own.
    CChildFrame* b = s.OpenDrawn(1);
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(Live(), s.before + 2 * perView) << round;
    s.Close(a);
    EXPECT_EQ(Live(), s.before + perView) << round;
    s.Close(b);
    EXPECT_EQ(Live(), s.before) << round;
  }
  EXPECT_TRUE(messages.shown.empty());
}

TEST(ListNamesTest, AViewGivenANewContextDeletesTheListsOfTheOldOne) {
  Session s;
  CChildFrame* c = s.OpenDrawn();
  ASSERT_NE(c, nullptr);
  QmView* view = c->View();
  const long open = Live();
  EXPECT_GT(open, s.before);
  // Out of its window and back: Qt makes the view a new context each time.
  c->setWidget(nullptr);
  ASSERT_EQ(view->parent(), nullptr);
  view->resize(320, 240);
  view->show();
  ASSERT_FALSE(Grab(view).isNull());
  EXPECT_EQ(Live(), open);
  c->setWidget(view);
  view->show();
  ASSERT_FALSE(Grab(view).isNull());
  EXPECT_EQ(Live(), open);
  EXPECT_NE(view->Scene().Lists().Base(), 0u);
  s.Close(c);
  EXPECT_EQ(Live(), s.before);
}

TEST(ListNamesTest, TheBufferedPartsOfAMembersListGoWithTheirViewAndContext) {
  Session s;
  std::ifstream in(std::string(OV_EXAMPLES_DIR) + "/frame.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  s.dir.Write("frame.dat", text.str());
  const long before = LiveBatches();
  CChildFrame* c = s.prog.Open(s.dir.Path("frame.dat"));
  ASSERT_NE(c, nullptr);
  ASSERT_TRUE(s.prog.WaitIdle(30000));
  ASSERT_FALSE(Grab(c->View()).isNull());
  // The member solids' faces and outlines are drawn from buffers.
  const long open = LiveBatches();
  EXPECT_GT(open, before);
  // Rebuilt lists replace their parts; a new context replaces them too.
  c->View()->Scene().InvalidateLists();
  ASSERT_FALSE(Grab(c->View()).isNull());
  EXPECT_EQ(LiveBatches(), open);
  QmView* view = c->View();
  c->setWidget(nullptr);
  view->resize(320, 240);
  view->show();
  ASSERT_FALSE(Grab(view).isNull());
  c->setWidget(view);
  view->show();
  ASSERT_FALSE(Grab(view).isNull());
  EXPECT_EQ(LiveBatches(), open);
  s.Close(c);
  EXPECT_EQ(LiveBatches(), before);
}

// Qt's pixmap cache would keep the icons of every closed window and Open
// dialog under new keys until its limit: closing a document empties it.
TEST(ListNamesTest, ClosingADocumentEmptiesThePixmapCache) {
  Session s;
  CChildFrame* c = s.OpenDrawn();
  ASSERT_NE(c, nullptr);
  QPixmap icon(16, 16);
  icon.fill(Qt::red);
  ASSERT_TRUE(QPixmapCache::insert(QStringLiteral("closed-window-icon"), icon));
  s.Close(c);
  QPixmap kept;
  EXPECT_FALSE(QPixmapCache::find(QStringLiteral("closed-window-icon"), &kept));
}

}  // namespace
