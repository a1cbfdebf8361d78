// Display-list names over a session of the results viewer: runs opened in
// turn, each with a diagram, reuse the one view's names, and the names go
// with the view.
#include <gtest/gtest.h>

#include "rv_test_util.h"
#include "viewer/gl/gl_scene.h"

namespace {

class ListNamesTest : public rvtest::FrameFixture {};

TEST_F(ListNamesTest, RunsOpenedInTurnKeepOneSetOfNamesAndTheViewTakesThemAlong) {
  const long before = CGlScene::LiveListNames();
  rvtest::MessageCatcher messages;
  for (int i = 0; i < 4; ++i) {
    const char* name = i % 2 ? "sway.in" : "frame.in";
    Open(std::string(OV_EXAMPLES_DIR) + "/run/" + name);
    {
      rvtest::DialogAnswer answer([](QDialog& d) {
        d.accept();
        return d.result();
      });
      View()->ShowFiberDiagram(0);
    }
    ASSERT_FALSE(Grab().isNull()) << name;
    EXPECT_EQ(CGlScene::LiveListNames(), before + View()->Scene().listCount) << name;
  }
  EXPECT_TRUE(messages.Texts().empty());
  frame_.reset();
  rvtest::PumpEvents(10);
  EXPECT_EQ(CGlScene::LiveListNames(), before);
}

}  // namespace
