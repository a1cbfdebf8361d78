// picture_diff REFERENCE.png PICTURE.png [DIFFERENCE.png]
// Checks a picture against its reference by the picture rule (see
// tests/support/picture_tolerance.h) and prints one line:
//   65536 pixels, 120 differ (0.18 %), 0 off a boundary: within the rule
// Exits 0 within the rule, 1 outside it, 2 when it cannot compare. The
// difference picture marks differing pixels next to a boundary orange, the
// others red, on the reference greyed.
#include <QImage>
#include <QString>

#include <cstdio>
#include <vector>

#include "support/picture_tolerance.h"

namespace {

PictureView View(const QImage& rgba) {
  return {rgba.constBits(), rgba.width(), rgba.height(), rgba.bytesPerLine(), 4};
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: picture_diff REFERENCE.png PICTURE.png [DIFFERENCE.png]\n");
    return 2;
  }
  QImage images[2];
  for (int i = 0; i < 2; ++i) {
    const QImage read(QString::fromLocal8Bit(argv[i + 1]));
    if (read.isNull()) {
      std::fprintf(stderr, "picture_diff: cannot read %s as a picture\n", argv[i + 1]);
      return 2;
    }
    images[i] = read.convertToFormat(QImage::Format_RGBA8888);
  }
  if (images[0].size() != images[1].size()) {
    std::fprintf(stderr, "picture_diff: the sizes differ: %s is %dx%d, %s is %dx%d\n", argv[1], images[0].width(),
                 images[0].height(), argv[2], images[1].width(), images[1].height());
    return 2;
  }
  std::vector<unsigned char> difference;
  const PictureDiff d = ComparePictures(View(images[0]), View(images[1]), argc == 4 ? &difference : nullptr);
  std::printf("%s\n", DescribeDiff(d).c_str());
  if (argc == 4) {
    const QImage out(difference.data(), images[0].width(), images[0].height(), images[0].width() * 3,
                     QImage::Format_RGB888);
    if (!out.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
      std::fprintf(stderr, "picture_diff: cannot write %s\n", argv[3]);
      return 2;
    }
  }
  return d.Within() ? 0 : 1;
}
