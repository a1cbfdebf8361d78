// The program as a new user meets it: started with a file its frame stays
// maximised with the document's window maximised inside; models named in
// code page 932 open from the command line and from drops; a displaced grid
// model shows its edges and its material display on its surfaces.
#include <QDropEvent>
#include <QFile>
#include <QMdiArea>
#include <QMimeData>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QSettings>
#include <QWindow>
#include <algorithm>

#include "mv_test_support.h"
#include "viewer_gl/x11_probe.h"

using namespace mvtest;

namespace {

// "建物" in code page 932: not UTF-8.
const std::string kCp932Name = "\x8c\x9a\x95\xa8";

// Removes the files named in code page 932 before their folder goes: Qt
// would list them by names it cannot give back to the system.
struct RemoveOnExit {
  std::vector<std::string> paths;
  ~RemoveOnExit() {
    std::error_code ec;
    for (const std::string& p : paths) std::filesystem::remove(p, ec);
  }
};

TEST(PathBytesTest, PathsRoundTripByteForByte) {
  const std::string cases[] = {
      "/tmp/plain.dat",
      "/tmp/\xe5\xbb\xba\xe7\x89\xa9.dat",  // 建物 in UTF-8
      "/tmp/" + kCp932Name + ".dat",
      "\xff\xfe",
      "\xe5\xbb",            // cut short
      "\xc0\xaf",            // overlong '/'
      "\xed\xb2\x80",        // an encoded surrogate
      "a\xf4\x90\x80\x80z",  // past U+10FFFF
  };
  TempFolder dir;
  int n = 0;
  for (const std::string& c : cases) {
    const QString q = PathToQString(c);
    EXPECT_EQ(QStringToPath(q), c) << c;
    // Through a profile file, read back by a copy (a profile caches what
    // was set in it).
    const QString file = QString::fromStdString(dir.Path("p" + std::to_string(++n)));
    {
      QSettings s(file + QStringLiteral(".ini"), QSettings::IniFormat);
      s.setValue(QStringLiteral("p"), PathToSetting(q));
    }
    ASSERT_TRUE(QFile::copy(file + QStringLiteral(".ini"), file + QStringLiteral("b.ini")));
    QSettings s(file + QStringLiteral("b.ini"), QSettings::IniFormat);
    EXPECT_EQ(QStringToPath(PathFromSetting(s.value(QStringLiteral("p")))), c) << c;
  }
  // UTF-8 reads as Qt reads it, and the display shows code page 932 as such.
  EXPECT_EQ(PathToQString("/tmp/\xe5\xbb\xba.dat"), QString::fromUtf8("/tmp/\xe5\xbb\xba.dat"));
  EXPECT_EQ(TextToQString(QStringToPath(PathToQString(kCp932Name))), QStringLiteral("建物"));
}

TEST(StartUpTest, StartedWithAFileTheFrameStaysMaximised) {
  TempFolder dir;
  const std::string path = dir.Path(kCp932Name + ".dat");
  const std::string other = dir.Path("b" + kCp932Name + ".dat");
  RemoveOnExit cleanup{{path, other}};
  WriteSquareModel(path);
  App();
  MessageRecorder messages;
  std::string arg0 = "ostrel", arg1 = path;
  char* argv[] = {arg0.data(), arg1.data(), nullptr};
  QmApp app;
  ASSERT_TRUE(app.InitInstance(ArgumentsFromArgv(2, argv), false));
  CMainFrame* frame = app.MainFrame();
  ASSERT_EQ(frame->ChildFrames().size(), 1u);
  CChildFrame* child = frame->ChildFrames()[0];
  EXPECT_TRUE(WaitFor([&] { return !g_bLoading.load() && !frame->LoadTimerActive(); }));
  Pump(200);
  EXPECT_EQ(child->Document()->m_nNodes, 4);
  EXPECT_EQ(child->windowTitle(), QStringLiteral("建物.dat"));
  // Maximised as Qt and as a window manager see it (none runs here to
  // resize it), the document's window filling the area.
  EXPECT_TRUE(frame->windowState() & Qt::WindowMaximized);
  ASSERT_NE(frame->windowHandle(), nullptr);
  EXPECT_TRUE(frame->windowHandle()->windowStates() & Qt::WindowMaximized);
  const QStringList states = x11probe::WindowStates(frame);
  EXPECT_TRUE(states.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_VERT"))) << states.join(' ').toStdString();
  EXPECT_TRUE(states.contains(QStringLiteral("_NET_WM_STATE_MAXIMIZED_HORZ")));
  EXPECT_TRUE(child->isMaximized());
  EXPECT_EQ(child->geometry(), frame->MdiArea()->viewport()->rect());

  // A drop names its file percent-encoded, byte by byte.
  WriteSquareModel(other);
  QMimeData data;
  data.setData(QStringLiteral("text/uri-list"),
               "file://" + QByteArray::fromStdString(other).toPercentEncoding("/") + "\r\n");
  QDragEnterEvent enter(QPoint(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame, &enter);
  QDropEvent drop(QPointF(50, 50), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(frame, &drop);
  ASSERT_EQ(frame->ChildFrames().size(), 2u);
  EXPECT_EQ(frame->ChildFrames()[1]->Document()->m_strPath, other);
  EXPECT_TRUE(WaitFor([&] { return !g_bLoading.load() && !frame->LoadTimerActive(); }));
  EXPECT_TRUE(messages.shown.empty());
}

// The program itself, started with a file under a window manager on a
// server of its own: its frame fills the screen. Skipped where the program,
// the window manager or the X tools are not there.
TEST(StartUpTest, UnderAWindowManagerTheFrameFillsTheScreen) {
  App();
  const QString ostrel = QCoreApplication::applicationDirPath() + QStringLiteral("/../modelviewer/Ostrel");
  for (const char* tool : {"xvfb-run", "openbox", "xwininfo"})
    if (QStandardPaths::findExecutable(QString::fromLatin1(tool)).isEmpty()) GTEST_SKIP() << tool;
  if (!QFile::exists(ostrel)) GTEST_SKIP() << "no program";
  TempFolder dir;
  const std::string path = dir.Path(kCp932Name + ".dat");
  RemoveOnExit cleanup{{path}};
  WriteSquareModel(path);
  // The frame's line in the window tree, once the program has read the
  // file and the frame fills the screen (or 30 s have passed); the
  // script names the file in its own bytes. A walk of the tree that meets a
  // window going away (the splash closing) prints nothing, and is repeated.
  const std::string script = dir.Path("start.sh");
  dir.Write("start.sh",
            "openbox >/dev/null 2>&1 & W=$!; sleep 0.5\n"
            "\"$OSTREL\" '" + path + "' >/dev/null 2>&1 & P=$!\n"
            "for i in $(seq 150); do sleep 0.2\n"
            "  T=$(xwininfo -root -tree 2>/dev/null | grep 'Ostrel - \\[' | head -1); [ -n \"$T\" ] && L=$T\n"
            "  H=$(printf '%s' \"$L\" | sed -n 's/.* 1280x\\([0-9]*\\)+.*/\\1/p')\n"
            "  [ -n \"$H\" ] && [ \"$H\" -gt 900 ] && break\n"
            "done\n"
            "printf '%s\\n' \"$L\"\n"
            "[ -n \"$SHOT\" ] && command -v import >/dev/null && import -window root \"$SHOT\"\n"
            "kill $P $W; wait\n");
  QProcess run;
  QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
  env.insert(QStringLiteral("OSTREL"), ostrel);
  env.insert(QStringLiteral("XDG_CONFIG_HOME"), QString::fromStdString(dir.Path("config")));
  env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
  if (const char* out = std::getenv("OV_SAVE_FRAMES"))
    env.insert(QStringLiteral("SHOT"), QString::fromLocal8Bit(out) + QStringLiteral("/ostrel_started_with_a_file.png"));
  run.setProcessEnvironment(env);
  run.start(QStringLiteral("xvfb-run"), {QStringLiteral("-a"), QStringLiteral("-s"), QStringLiteral("-screen 0 1280x1024x24"),
                                         QStringLiteral("sh"), QString::fromStdString(script)});
  ASSERT_TRUE(run.waitForFinished(60000));
  const QString line = QString::fromUtf8(run.readAllStandardOutput());
  // The name is shown as code page 932; the frame spans the screen's width
  // and all its height but the window manager's title bar.
  EXPECT_TRUE(line.contains(QStringLiteral("Ostrel - [建物.dat]"))) << line.toStdString();
  const QRegularExpressionMatch m = QRegularExpression(QStringLiteral(" (\\d+)x(\\d+)\\+")).match(line);
  ASSERT_TRUE(m.hasMatch()) << line.toStdString();
  EXPECT_EQ(m.captured(1).toInt(), 1280);
  EXPECT_GT(m.captured(2).toInt(), 900);
}

// A plane of two shells moved by dy 0.5 (a twentieth of its depth): the
// surfaces move by that times the model scale; edges and materials must go
// with them, not 100 times further.
TEST(GridDisplayTest, EdgesAndMaterialsLieOnTheDisplacedSurfaces) {
  TempFolder dir;
  dir.Write("plane.grid", "6\n0 0 0\n10 0 0\n20 0 0\n0 10 0\n10 10 0\n20 10 0\n");
  dir.Write("plane.egno", "6\n1\n2\n3\n4\n5\n6\n");
  dir.Write("plane.qddef", "2\n1 1 1 2 5 4\n1 1 2 3 6 5\n");
  dir.Write("plane.color", "1\n1 200 200 200\n");
  std::string disp = "6\n";
  for (int i = 0; i < 6; ++i) disp += "0 0.5 0\n";
  dir.Write("plane.disp", disp);
  dir.Write("plane.qdstre", "2\n0 0 0 0 0 0 0\n0 0 0 0 0 0 0\n10 0 0 0 0 0 0\n0 0 0 0 0 0 0\n");
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("plane.grid"));
  ASSERT_NE(child, nullptr);
  // Faces in their contour colours, edges black, the axis triad (bottom
  // left) left out.
  auto isModel = [](const QImage& img, int x, int y) {
    return !(x < 140 && y > img.height() - 140) && !Near(img.pixel(x, y), 128, 128, 128, 3);
  };
  auto isEdge = [](QRgb c) { return std::max({qRed(c), qGreen(c), qBlue(c)}) < 50; };
  // Edge pixels off the faces: none of the 5 x 5 pixels around one is a face.
  auto stray = [&](const QImage& img, int& edges) {
    int off = 0;
    edges = 0;
    for (int y = 2; y < img.height() - 2; ++y) {
      for (int x = 2; x < img.width() - 2; ++x) {
        if (!isModel(img, x, y) || !isEdge(img.pixel(x, y))) continue;
        ++edges;
        bool near = false;
        for (int dy = -2; dy <= 2 && !near; ++dy)
          for (int dx = -2; dx <= 2 && !near; ++dx)
            near = isModel(img, x + dx, y + dy) && !isEdge(img.pixel(x + dx, y + dy));
        off += !near;
      }
    }
    return off;
  };
  auto modelBox = [&](const QImage& img) {
    QRect box;
    for (int y = 0; y < img.height(); ++y)
      for (int x = 0; x < img.width(); ++x)
        if (isModel(img, x, y)) box |= QRect(x, y, 1, 1);
    return box;
  };
  const QImage normal = Grab(child->View());
  int edges = 0;
  EXPECT_EQ(stray(normal, edges), 0);
  EXPECT_GT(edges, 100);
  prog.frame->Action(kCmdViewMaterial)->trigger();
  const QImage material = Grab(child->View());
  const QRect a = modelBox(normal), b = modelBox(material);
  EXPECT_GT(a.width(), 100);
  EXPECT_LE((a.topLeft() - b.topLeft()).manhattanLength(), 4) << a.x() << "," << a.y() << " " << b.x() << "," << b.y();
  EXPECT_LE((a.bottomRight() - b.bottomRight()).manhattanLength(), 4);
  if (const char* out = std::getenv("OV_SAVE_FRAMES")) {
    normal.save(QString::fromLocal8Bit(out) + QStringLiteral("/grid_displaced.png"));
    material.save(QString::fromLocal8Bit(out) + QStringLiteral("/grid_displaced_material.png"));
  }
}

}  // namespace
