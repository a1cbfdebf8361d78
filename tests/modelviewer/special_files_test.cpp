// Files that are not what they claim: named pipes and folders in place of
// the data file, and a viewpoint file with damaged records.
#include <sys/stat.h>

#include <cerrno>
#include <cstring>
#include <filesystem>

#include "mv_test_support.h"
#include "modelviewer/qm_view.h"
#include "viewer/eye_file.h"

using namespace mvtest;

namespace {

// Nothing waits for a writer that never comes, and a folder is no file:
// both are told as a file that cannot be opened, with the reason.
TEST(SpecialFilesTest, PipesAndFoldersAreToldAsFilesThatCannotBeOpened) {
  TempFolder dir;
  Program prog;
  for (const char* ext : {".in", ".dat", ".grid"}) {
    const std::string fifo = dir.Path(std::string("pipe") + ext);
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string folder = dir.Path(std::string("folder") + ext);
    std::filesystem::create_directory(folder);
    const std::pair<std::string, QString> cases[] = {
        {fifo, QStringLiteral("通常のファイルではありません")},
        {folder, QString::fromLocal8Bit(std::strerror(EISDIR))}};
    for (const auto& [path, reason] : cases) {
      MessageRecorder messages;
      CChildFrame* child = prog.Open(path);
      ASSERT_TRUE(prog.WaitIdle()) << path;
      ASSERT_EQ(messages.shown.size(), 1u) << path;
      EXPECT_EQ(messages.shown[0].text,
                QString::fromStdString(path) + QStringLiteral("：ファイルオープンエラー\r\n") + reason);
      // A keyword file ends as an empty document; the others open none.
      EXPECT_EQ(child != nullptr, std::string(ext) == ".dat") << path;
      if (child) child->close();
    }
  }
}

TEST(SpecialFilesTest, DamagedViewpointsAreToldOnceAndLeftOut) {
  TempFolder dir;
  WriteSquareModel(dir.Path("eyes.dat"));
  CViewSettings cam;
  InitViewSettings(cam);
  CEyeList list;
  list.Register(cam);
  for (double& u : cam.up) u = 0;
  list.Register(cam);
  list.Register(cam);
  const std::string eyePath = dir.Path("eyes.eye");
  ASSERT_TRUE(list.WriteFile(eyePath));
  Program prog;
  MessageRecorder messages;
  CChildFrame* child = prog.Open(dir.Path("eyes.dat"));
  ASSERT_TRUE(prog.WaitIdle());
  ASSERT_TRUE(WaitFor([&] { return child->View()->HasEyeList(); }));
  Pump(100);
  child->View()->update();
  Pump(100);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, TextToQString(DroppedEyesText(eyePath, 2)));
  EXPECT_EQ(messages.shown[0].icon, MsgIcon::kWarning);
  EXPECT_EQ(child->View()->Eyes()->Count(), 1);
}

}  // namespace
