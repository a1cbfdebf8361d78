// Fonts for Japanese text on screen: a CJK family found by fontconfig
// (Debian's fonts-noto-cjk), falling back to Qt's default.
#pragma once
#include <QFont>

// Proportional CJK font of the given pixel size.
QFont CjkFont(int pixelSize, bool bold = false);
// Monospaced CJK font (what "ＭＳ ゴシック" was) of the given pixel size.
QFont CjkMonoFont(int pixelSize);
