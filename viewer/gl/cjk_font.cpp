#include "viewer/gl/cjk_font.h"

#include <QFontDatabase>
#include <QStringList>

namespace {

// The first installed family of a list of preferences, or an empty string.
QString FirstInstalled(const QStringList& wanted) {
  const QStringList families = QFontDatabase::families();
  for (const QString& w : wanted)
    for (const QString& f : families)
      if (f.compare(w, Qt::CaseInsensitive) == 0) return f;
  // Any other CJK family with Japanese glyphs.
  for (const QString& f : families)
    if (f.contains(QStringLiteral("CJK"), Qt::CaseInsensitive) &&
        f.contains(QStringLiteral("JP"), Qt::CaseInsensitive))
      return f;
  return QString();
}

}  // namespace

QFont CjkFont(int pixelSize, bool bold) {
  static const QString family =
      FirstInstalled({QStringLiteral("Noto Sans CJK JP"), QStringLiteral("Noto Sans JP"),
                      QStringLiteral("IPAexGothic"), QStringLiteral("IPAGothic")});
  QFont f = family.isEmpty() ? QFont() : QFont(family);
  f.setPixelSize(pixelSize > 0 ? pixelSize : 12);
  f.setBold(bold);
  return f;
}

QFont CjkMonoFont(int pixelSize) {
  static const QString family =
      FirstInstalled({QStringLiteral("Noto Sans Mono CJK JP"), QStringLiteral("Noto Sans CJK JP"),
                      QStringLiteral("IPAGothic")});
  QFont f = family.isEmpty() ? QFontDatabase::systemFont(QFontDatabase::FixedFont) : QFont(family);
  f.setStyleHint(QFont::Monospace);
  f.setPixelSize(pixelSize > 0 ? pixelSize : 12);
  return f;
}
