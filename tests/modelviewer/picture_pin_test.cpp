// The sample frame with every colour class and both flags of a colour map,
// pinned pixel by pixel against stored pictures (at most 1 off in a colour
// channel) on the renderer they were made on, in the normal and the material
// display. A change of how the display lists are built must leave these
// pictures as they are.
// OV_WRITE_PICTURES=DIR writes the pictures there instead (to renew them).
#include <QFileInfo>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "mv_test_support.h"
#include "support/pinned_renderer.h"

using namespace mvtest;

namespace {

const char* const kPictureDir = OV_EXAMPLES_DIR "/../tests/modelviewer/data";

// Largest difference in a channel between two pictures of the same size
// (256 when the sizes differ).
int MaxChannelDiff(const QImage& a, const QImage& b) {
  if (a.size() != b.size()) return 256;
  int worst = 0;
  for (int y = 0; y < a.height(); ++y)
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
      worst = std::max({worst, std::abs(qRed(p) - qRed(q)), std::abs(qGreen(p) - qGreen(q)),
                        std::abs(qBlue(p) - qBlue(q))});
    }
  return worst;
}

TEST(PicturePinTest, TheColouredSampleFrameDrawsAsStored) {
  TempFolder folder;
  std::ifstream in(std::string(OV_EXAMPLES_DIR) + "/frame.dat", std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  folder.Write("frame.dat", text.str());
  // Classes -1 to 4 and flags 0 and 1 in turn over the element numbers.
  std::string clr;
  for (int no = 1; no <= 3000; ++no) {
    char row[64];
    std::snprintf(row, sizeof row, "%10d%10d%10d%10d\n", no, no % 6 - 1, 0, (no / 6) % 2);
    clr += row;
  }
  folder.Write("frame.clr", clr);

  Program prog;
  prog.frame->resize(420, 330);
  CChildFrame* child = prog.Open(folder.Path("frame.dat"));
  ASSERT_NE(child, nullptr);
  ASSERT_TRUE(prog.WaitIdle(30000));
  // The first frame compiles the lists; the next draws from them: both the
  // same picture.
  const QImage first = Grab(child->View());
  const QImage normal = Grab(child->View());
  EXPECT_TRUE(SamePicture(first, normal));
  prog.frame->Action(kCmdViewMaterial)->trigger();
  const QImage material = Grab(child->View());

  const char* out = std::getenv("OV_WRITE_PICTURES");
  for (const auto& [name, img] : {std::pair{"pin-normal.png", normal}, {"pin-material.png", material}}) {
    if (out) {
      EXPECT_TRUE(img.save(QString(out) + "/" + name));
      continue;
    }
    OV_SKIP_OFF_PINNED_RENDERER();
    const QImage stored(QString(kPictureDir) + "/" + name);
    ASSERT_FALSE(stored.isNull()) << name;
    EXPECT_LE(MaxChannelDiff(img, stored.convertToFormat(QImage::Format_RGB32)), 1) << name;
  }
}

}  // namespace
