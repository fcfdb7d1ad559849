#include "window/win32/system_colours.h"

#include <commctrl.h>

#include <cstdlib>
#include <cwchar>

namespace cordshift {
namespace {

COLORREF ColourOf(Rgb rgb) { return RGB(rgb.red, rgb.green, rgb.blue); }

Rgb SystemColour(int index) {
  const COLORREF colour = GetSysColor(index);
  return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

std::uint32_t Key(Rgb rgb) {
  return (std::uint32_t{rgb.red} << 16) | (std::uint32_t{rgb.green} << 8) |
         rgb.blue;
}

}  // namespace

bool HighContrastOn() {
  const wchar_t* forced = _wgetenv(kHighContrastVariable);
  if (forced != nullptr && std::wcscmp(forced, L"1") == 0) return true;
  HIGHCONTRASTW high_contrast{};
  high_contrast.cbSize = sizeof(high_contrast);
  return SystemParametersInfoW(SPI_GETHIGHCONTRAST, sizeof(high_contrast),
                               &high_contrast, 0) != FALSE &&
         (high_contrast.dwFlags & HCF_HIGHCONTRASTON) != 0;
}

SystemColours ReadSystemColours() {
  return {SystemColour(COLOR_BTNFACE),   SystemColour(COLOR_BTNTEXT),
          SystemColour(COLOR_WINDOW),    SystemColour(COLOR_WINDOWTEXT),
          SystemColour(COLOR_HIGHLIGHT), SystemColour(COLOR_HIGHLIGHTTEXT)};
}

Win32Colours::Win32Colours() { Reload(); }

Win32Colours::~Win32Colours() {
  for (const auto& [key, brush] : brushes_) DeleteObject(brush);
}

void Win32Colours::Reload() {
  colours_ = WindowColours(
      HighContrastOn() ? ColourScheme::kSystem : ColourScheme::kLayout,
      ReadSystemColours());
}

HBRUSH Win32Colours::PaintControl(HDC dc, HWND control,
                                  const LayoutControl& entry,
                                  const std::optional<Rgb>& behaviour_text) {
  const ControlColours shown =
      behaviour_text ? colours_.OfOption(entry, *behaviour_text,
                                         SendMessageW(control, BM_GETCHECK, 0,
                                                      0) == BST_CHECKED)
                     : colours_.Of(entry);
  SetTextColor(dc, ColourOf(shown.text));
  SetBkColor(dc, ColourOf(shown.background));
  return Brush(shown.background);
}

void Win32Colours::ColourList(HWND list, const LayoutControl& entry) const {
  const ControlColours shown = colours_.Of(entry);
  ListView_SetBkColor(list, ColourOf(shown.background));
  ListView_SetTextBkColor(list, ColourOf(shown.background));
  ListView_SetTextColor(list, ColourOf(shown.text));
}

HBRUSH Win32Colours::FaceBrush() { return Brush(colours_.Face().background); }

HBRUSH Win32Colours::FaceTextBrush() { return Brush(colours_.Face().text); }

HBRUSH Win32Colours::Brush(Rgb colour) {
  HBRUSH& brush = brushes_[Key(colour)];
  if (brush == nullptr) brush = CreateSolidBrush(ColourOf(colour));
  return brush;
}

}  // namespace cordshift
