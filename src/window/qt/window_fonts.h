#ifndef CORDSHIFT_WINDOW_QT_WINDOW_FONTS_H_
#define CORDSHIFT_WINDOW_QT_WINDOW_FONTS_H_

// The window's two typefaces, asked for by their Windows names. Where they
// are missing, fonts with the same metrics stand in, so that every text
// fits its control as it does on Windows.

#include <QFont>

namespace cordshift {

// Fixed-pitch Gothic, the window's default typeface.
inline constexpr char kGothicFamily[] = "ＭＳ ゴシック";
// Proportional Gothic of the folder captions, titles and guidance line.
inline constexpr char kUiGothicFamily[] = "MS UI Gothic";

// Registers the stand-ins for both families; call once before the window
// is built.
void InstallFontSubstitutes();

QFont GothicFont(double points, bool bold);
QFont UiGothicFont(double points, bool bold);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_WINDOW_FONTS_H_
