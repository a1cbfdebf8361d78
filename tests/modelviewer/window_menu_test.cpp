// The Window menu with several documents: cascaded windows keep a usable
// view, every view shows its picture on screen after any arrangement,
// minimised windows stay in sight; File > Open starts in the last file's
// folder.
#include <QMdiArea>
#include <QSettings>
#include <QFileDialog>

#include "mv_test_support.h"
#include "viewer_gl/x11_probe.h"

using namespace mvtest;

namespace {

TEST(MdiLayoutTest, CascadeTileAndIconPlaces) {
  const QRect area(0, 0, 1000, 900);
  // Cascade: 900 / (3 * 30) = 10 further places, each window the area less
  // 10 steps; the 12th window starts over at the corner.
  const std::vector<QRect> cascade = mdi_layout::Cascade(area, 12, 30);
  ASSERT_EQ(cascade.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(cascade[i].size(), QSize(700, 600)) << i;
    EXPECT_EQ(cascade[i].topLeft(), QPoint(30 * (i % 11), 30 * (i % 11))) << i;
  }
  EXPECT_EQ(mdi_layout::Cascade(QRect(0, 0, 100, 50), 2, 30)[1], QRect(0, 0, 100, 50));

  // Tile: count, then the expected places.
  struct TileCase {
    int count;
    std::vector<QRect> places;
  };
  const TileCase tiles[] = {
      {3, {{0, 0, 1000, 300}, {0, 300, 1000, 300}, {0, 600, 1000, 300}}},
      {5, {{0, 0, 500, 450}, {0, 450, 500, 450}, {500, 0, 500, 300}, {500, 300, 500, 300}, {500, 600, 500, 300}}},
  };
  for (const TileCase& c : tiles) EXPECT_EQ(mdi_layout::Tile(area, c.count), c.places) << c.count;

  // Icons: left to right along the bottom, a new row above when full.
  int band = 0;
  const std::vector<QRect> icons = mdi_layout::Icons(area, std::vector<QSize>(7, QSize(160, 26)), &band);
  ASSERT_EQ(icons.size(), 7u);
  EXPECT_EQ(icons[0], QRect(0, 874, 160, 26));
  EXPECT_EQ(icons[5], QRect(800, 874, 160, 26));
  EXPECT_EQ(icons[6], QRect(0, 848, 160, 26));
  EXPECT_EQ(band, 52);
  mdi_layout::Icons(area, {}, &band);
  EXPECT_EQ(band, 0);
}

// Three documents of the square model in a frame of fixed size.
struct ThreeDocs {
  TempFolder dir;
  Program prog;
  std::vector<CChildFrame*> children;
  ThreeDocs() {
    prog.frame->setWindowState(Qt::WindowNoState);
    prog.frame->resize(900, 700);
    for (const char* name : {"a.dat", "b.dat", "c.dat"}) {
      WriteSquareModel(dir.Path(name));
      children.push_back(prog.Open(dir.Path(name)));
      EXPECT_TRUE(prog.WaitIdle());
    }
  }
  void Command(int id) {
    prog.frame->Action(id)->trigger();
    Pump(50);
  }
};

// The share of the view's sample points in sight (under no window in front
// of its own) where the screen shows what the view draws; 1 with none.
double ShownShare(CChildFrame* child, QMdiArea* area) {
  QmView* view = child->View();
  const QImage drawn = view->grabFramebuffer().convertToFormat(QImage::Format_RGB32);
  const QImage shown = x11probe::ScreenImage(view);
  if (shown.isNull() || drawn.size() != shown.size()) return 0;
  QList<QMdiSubWindow*> front = area->subWindowList(QMdiArea::StackingOrder);
  front.erase(front.begin(), std::find(front.begin(), front.end(), child) + 1);
  int same = 0, all = 0;
  for (int y = 1; y < 10; ++y) {
    for (int x = 1; x < 10; ++x) {
      const QPoint p(x * shown.width() / 10, y * shown.height() / 10);
      const QPoint inArea = view->mapTo(area->viewport(), p);
      if (std::any_of(front.begin(), front.end(),
                      [&](QMdiSubWindow* w) { return w->isVisible() && w->geometry().contains(inArea); }))
        continue;
      const QRgb d = drawn.pixel(p);
      ++all;
      if (Near(shown.pixel(p), qRed(d), qGreen(d), qBlue(d), 8)) ++same;
    }
  }
  return all ? double(same) / all : 1.0;
}

TEST(WindowMenuTest, EveryViewShowsItsPictureAfterEachArrangement) {
  ThreeDocs docs;
  CChildFrame* first = docs.children[0];
  // Each step, then every view not minimised must show its picture.
  struct Step {
    const char* name;
    std::function<void()> run;
  };
  int titleOnly = 0;
  QSize before;
  const Step steps[] = {
      {"cascade", [&] { docs.Command(kCmdCascade); }},
      {"tile", [&] { docs.Command(kCmdTile); }},
      {"cascade again", [&] { docs.Command(kCmdCascade); }},
      {"tile again", [&] { docs.Command(kCmdTile); }},
      // A window shrunk to its title bar and back to the size it had.
      {"shrink to title",
       [&] {
         before = first->size();
         titleOnly = first->height() - first->View()->height();
         first->resize(first->width(), titleOnly);
         Pump(50);
       }},
      {"back to its size", [&] { first->resize(before); }},
      {"minimise", [&] { first->showMinimized(); }},
      {"restore", [&] { first->showNormal(); }},
      {"maximise", [&] { first->showMaximized(); }},
      {"tile from maximised", [&] { docs.Command(kCmdTile); }},
  };
  for (const Step& s : steps) {
    s.run();
    for (CChildFrame* c : docs.children) {
      if (c->isMinimized() || c->View()->height() == 0) continue;
      QMdiArea* area = docs.prog.frame->MdiArea();
      // Other test programs share the X screen: their windows may lie over
      // ours, and the screen then shows them.
      EXPECT_TRUE(WaitFor(
          [&] {
            docs.prog.frame->raise();
            return ShownShare(c, area) > 0.9;
          },
          30000))
          << s.name << ": " << c->windowTitle().toStdString() << " shows " << ShownShare(c, area);
    }
    if (std::string(s.name) == "cascade") {
      // Cascaded windows keep a view of more than half the area.
      const QSize area = docs.prog.frame->MdiArea()->viewport()->size();
      for (CChildFrame* c : docs.children) {
        EXPECT_GT(c->View()->height(), area.height() / 2) << c->windowTitle().toStdString();
        EXPECT_GT(c->View()->width(), area.width() / 2) << c->windowTitle().toStdString();
      }
    }
  }
}

TEST(WindowMenuTest, MinimisedWindowsStayInSight) {
  ThreeDocs docs;
  docs.Command(kCmdTile);
  CChildFrame* icon = docs.children[1];
  icon->showMinimized();
  Pump(50);
  QMdiArea* area = docs.prog.frame->MdiArea();
  for (const int id : {int(kCmdTile), int(kCmdArrangeIcons), int(kCmdCascade)}) {
    docs.Command(id);
    ASSERT_TRUE(icon->isMinimized()) << id;
    // Inside the area, along its bottom, covered by no other window, and
    // in front of the others.
    EXPECT_TRUE(area->viewport()->rect().contains(icon->geometry())) << id;
    EXPECT_EQ(icon->geometry().bottom(), area->viewport()->rect().bottom()) << id;
    for (CChildFrame* c : docs.children) {
      if (c == icon) continue;
      EXPECT_FALSE(c->geometry().intersects(icon->geometry())) << id;
    }
    EXPECT_EQ(area->subWindowList(QMdiArea::StackingOrder).back(), icon) << id;
  }
}

TEST(OpenDialogTest, StartsInTheFolderOfTheLastFileOpened) {
  TempFolder dir;
  const std::string sub = dir.Path("models");
  std::filesystem::create_directory(sub);
  WriteSquareModel(sub + "/square.dat");
  Program prog;
  prog.Open(sub + "/square.dat");
  ASSERT_TRUE(prog.WaitIdle());
  QString start;
  SetModalHook([&](QDialog& dlg) {
    if (auto* fd = qobject_cast<QFileDialog*>(&dlg)) start = fd->directory().absolutePath();
    return int(QDialog::Rejected);
  });
  prog.frame->Action(kCmdFileOpen)->trigger();
  SetModalHook(nullptr);
  EXPECT_EQ(start, QString::fromStdString(sub));

  // Kept in the profile beside the recent files, whose saving keeps it; a
  // folder that is gone gives the working folder.
  QSettings profile(QStringLiteral("Tollgrane"), QStringLiteral("Ostrel"));
  RecentFiles().Save();
  EXPECT_EQ(OpenFolder(profile), QString::fromStdString(sub));
  std::filesystem::remove_all(sub);
  EXPECT_EQ(OpenFolder(profile), QString::fromStdString(std::filesystem::current_path().string()));
}

}  // namespace
