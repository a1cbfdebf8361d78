// Display-list names over a session of the results viewer: runs opened in
// turn, each with a diagram, reuse the one view's names, and the names (and
// the lists' buffered parts) go with the view.
#include <gtest/gtest.h>

#include <map>

#include "rv_test_util.h"
#include "viewer/gl/gl_scene.h"

namespace {

class ListNamesTest : public rvtest::FrameFixture {};

TEST_F(ListNamesTest, RunsOpenedInTurnKeepOneSetOfNamesAndTheViewTakesThemAlong) {
  const long before = CGlListSet::LiveNames();
  const long partsBefore = CListBatches::LiveNames();
  std::map<std::string, long> parts;  // held with each run shown
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
    EXPECT_EQ(CGlListSet::LiveNames(), before + View()->Scene().Lists().Count()) << name;
    // A run shown again holds what it held the first time: rebuilt lists
    // deleted their old parts and buffers.
    const auto [it, first] = parts.emplace(name, CListBatches::LiveNames());
    if (!first) {
      EXPECT_EQ(CListBatches::LiveNames(), it->second) << name;
    }
  }
  EXPECT_TRUE(messages.Texts().empty());
  EXPECT_GT(parts["frame.in"], partsBefore);  // its member outlines are buffered
  frame_.reset();
  rvtest::PumpEvents(10);
  EXPECT_EQ(CGlListSet::LiveNames(), before);
  EXPECT_EQ(CListBatches::LiveNames(), partsBefore);
}

TEST_F(ListNamesTest, ADiagramAndTheStructureNeverHoldEachOthersLists) {
  const long base = CListBatches::LiveNames();
  rvtest::MessageCatcher messages;
  Open(std::string(OV_EXAMPLES_DIR) + "/run/frame.in");
  const QImage structure = Grab();
  const long held = CListBatches::LiveNames() - base;
  ASSERT_GT(held, 0);
  struct Case {
    const char* name;
    void (QmView::*show)();
  };
  const Case cases[] = {{"deformation", &QmView::OnViewDeform},
                        {"fibre stress", &QmView::OnViewStress},
                        {"section force", &QmView::OnViewSectionForce},
                        {"shell stress", &QmView::OnViewShellStress}};
  for (const Case& c : cases) {
    {
      rvtest::DialogAnswer answer([](QDialog& d) {
        d.accept();
        return d.result();
      });
      (View()->*c.show)();
    }
    Grab();
    // The deformation's lists are made as the structure's were: one set,
    // its edge layer drawn from its faces' buffers.
    if (c.show == &QmView::OnViewDeform) {
      EXPECT_LE(CListBatches::LiveNames() - base, held);
    }
    View()->OnViewStructure();
    EXPECT_EQ(Grab(), structure) << c.name;
    EXPECT_EQ(CListBatches::LiveNames() - base, held) << c.name;
  }
  EXPECT_TRUE(messages.Texts().empty());
}

}  // namespace
