#ifndef CORDSHIFT_WINDOW_WIN32_WINDOW_DIAGNOSTICS_H_
#define CORDSHIFT_WINDOW_WIN32_WINDOW_DIAGNOSTICS_H_

// What the benchmark and the screenshot script ask of the program through
// its environment. Each runs once the window is shown, and then closes the
// window as the title bar's close would.
//
// CORDSHIFT_STARTUP_REPORT=FILE: writes to FILE when the window was shown
// and painted ("shown") and when both lists were filled ("listed"), each as
// the milliseconds since the process was created, since wWinMain began, and
// the Unix time in milliseconds, for a caller that measures from its own
// start. A windowed program has no standard output to print them on.
//
// CORDSHIFT_SCREENSHOT=FILE: once the lists are filled, presses the run
// button, waits for the run and saves a picture of the window (and of its
// frame, where the system draws it) as a 24-bit BMP file.
//
// CORDSHIFT_RUN_REPORT=FILE: once the lists are filled, presses the run
// button and writes to FILE how long the run took until the window was
// ready again ("run MS"), how many echo messages posted from another
// thread it answered meanwhile and the longest time one took ("answers N",
// "longest answer MS").

#include <chrono>
#include <string>

#include "window/win32/win32_window.h"

namespace cordshift {

// The times of a start: taken from wWinMain's beginning.
class StartupClock {
 public:
  StartupClock() : main_started_(std::chrono::steady_clock::now()) {}
  // The window has been shown and painted.
  void NoteShown();
  // The report's line for now, named `name`.
  std::string Line(const char* name) const;
  const std::string& shown_line() const { return shown_line_; }

 private:
  std::chrono::steady_clock::time_point main_started_;
  std::string shown_line_;
};

// False when neither was asked for.
bool RunWindowDiagnostics(Win32Window& window, const StartupClock& clock);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WIN32_WINDOW_DIAGNOSTICS_H_
