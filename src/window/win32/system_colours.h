#ifndef CORDSHIFT_WINDOW_WIN32_SYSTEM_COLOURS_H_
#define CORDSHIFT_WINDOW_WIN32_SYSTEM_COLOURS_H_

// The Win32 window's colours (window/window_colours.h): the layout's, each
// control's text and background set together whatever the system's colour
// scheme; with high contrast on, the system's colours. Also the brushes
// they are painted with, which live as long as the window.

#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>

#include "window/window_colours.h"

namespace cordshift {

// Set to 1, high contrast counts as on whatever the system says: Wine
// cannot switch it on, and the tests and the screenshot need it.
inline constexpr wchar_t kHighContrastVariable[] = L"CORDSHIFT_HIGH_CONTRAST";

bool HighContrastOn();

// The system's colours for the window's roles (GetSysColor).
SystemColours ReadSystemColours();

class Win32Colours {
 public:
  // Reads the system's settings.
  Win32Colours();
  ~Win32Colours();
  Win32Colours(const Win32Colours&) = delete;
  Win32Colours& operator=(const Win32Colours&) = delete;

  // Reads the system's settings again, once they have changed. The window
  // repaints itself afterwards.
  void Reload();

  const WindowColours& colours() const { return colours_; }

  // Answers WM_CTLCOLORSTATIC, WM_CTLCOLORBTN and WM_CTLCOLOREDIT: sets the
  // text and background colours of `dc` and returns the brush for the
  // control's background. `behaviour_text` is the text colour the
  // behaviour gave the control, if any (the direction options').
  HBRUSH PaintControl(HDC dc, HWND control, const LayoutControl& entry,
                      const std::optional<Rgb>& behaviour_text);
  // A list view draws its rows in the colours it was given last.
  void ColourList(HWND list, const LayoutControl& entry) const;
  // The window's face, and the brush of the arrow drawn on it.
  HBRUSH FaceBrush();
  HBRUSH FaceTextBrush();

 private:
  HBRUSH Brush(Rgb colour);

  WindowColours colours_;
  // Kept until the window has gone: a control may still paint with the
  // brush it was given before a change of scheme.
  std::map<std::uint32_t, HBRUSH> brushes_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WIN32_SYSTEM_COLOURS_H_
