// Files that are not what they claim: named pipes and folders in place of a
// run or its result files, and a viewpoint file with damaged records.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cmath>
#include <filesystem>

#include "platform/text_lines.h"
#include "rv_test_util.h"
#include "viewer/eye_file.h"

namespace {

class SpecialFilesTest : public rvtest::FrameFixture {};

// Nothing waits for a writer that never comes, and a folder is no file.
TEST_F(SpecialFilesTest, PipesAndFoldersAreNotReadAsTheRun) {
  rvtest::MessageCatcher messages;
  const std::string fifo = dir_.path() + "/pipe.in";
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
  const std::string folder = dir_.path() + "/folder.in";
  std::filesystem::create_directory(folder);
  for (const std::string& path : {fifo, folder}) {
    messages.Clear();
    Open(path);
    ASSERT_EQ(messages.Texts().size(), 1u) << path;
    EXPECT_EQ(messages.Texts()[0].rfind(path + "：ファイルオープンエラー\r\n", 0), 0u) << messages.Texts()[0];
  }

  // Result files that are pipes count as missing ones.
  const std::string run = Write("frame", testrun::SmallFrame(1));
  for (const char* ext : {".dis", ".sts"}) {
    const std::string p = dir_.path() + "/frame" + ext;
    std::filesystem::remove(p);
    ASSERT_EQ(::mkfifo(p.c_str(), 0600), 0);
  }
  Open(run);
  EXPECT_EQ(Doc().m_szName, "frame");
  EXPECT_GT(Doc().m_nNodes, 0);
}

TEST_F(SpecialFilesTest, DamagedViewpointsAreToldOnceAndLeftOut) {
  rvtest::MessageCatcher messages;
  const std::string run = Write("eyes", testrun::SmallFrame(1));
  CViewSettings cam;
  InitViewSettings(cam);
  CEyeList list;
  list.Register(cam);
  cam.eye[0] = std::nan("");
  list.Register(cam);
  const std::string eyePath = dir_.path() + "/eyes.eye";
  ASSERT_TRUE(list.WriteFile(eyePath));
  Open(run);
  Settle();
  ASSERT_EQ(messages.Texts().size(), 1u);
  EXPECT_EQ(messages.Texts()[0], DroppedEyesText(eyePath, 1));
  EXPECT_EQ(View()->Viewpoints().Count(), 1);
}

}  // namespace
