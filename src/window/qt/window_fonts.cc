#include "window/qt/window_fonts.h"

#include <QString>
#include <QStringList>

namespace cordshift {
namespace {

QFont FontOf(const char* family, double points, bool bold) {
  QFont font(QString::fromUtf8(family));
  font.setPointSizeF(points);
  font.setBold(bold);
  return font;
}

}  // namespace

void InstallFontSubstitutes() {
  // IPA's two Gothics were drawn to the metrics of the Windows fonts; the
  // others are near enough where IPA's are not installed.
  QFont::insertSubstitutions(
      QString::fromUtf8(kGothicFamily),
      {QStringLiteral("MS Gothic"), QStringLiteral("IPAGothic"),
       QString::fromUtf8("IPAゴシック"), QStringLiteral("TakaoGothic"),
       QStringLiteral("VL Gothic"), QStringLiteral("Noto Sans Mono CJK JP")});
  QFont::insertSubstitutions(
      QString::fromUtf8(kUiGothicFamily),
      {QStringLiteral("IPAPGothic"), QString::fromUtf8("IPA Pゴシック"),
       QStringLiteral("TakaoPGothic"), QStringLiteral("VL PGothic"),
       QStringLiteral("Noto Sans CJK JP")});
}

QFont GothicFont(double points, bool bold) {
  return FontOf(kGothicFamily, points, bold);
}

QFont UiGothicFont(double points, bool bold) {
  return FontOf(kUiGothicFamily, points, bold);
}

}  // namespace cordshift
