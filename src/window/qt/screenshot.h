#ifndef CORDSHIFT_WINDOW_QT_SCREENSHOT_H_
#define CORDSHIFT_WINDOW_QT_SCREENSHOT_H_

// A picture of the window for the documentation: taken once the window is
// shown, after which the window closes as if the user had closed it.

#include <QString>
#include <chrono>
#include <functional>

class QWidget;

namespace cordshift {

// The environment variable that asks for the picture; its value is the PNG
// file to write.
inline constexpr char kScreenshotVariable[] = "CORDSHIFT_SCREENSHOT";

// Arranges for `window` to save a picture of itself to `png_file` and then
// close, once the event loop runs and `ready` says the lists are filled.
void ScheduleScreenshot(QWidget& window, const QString& png_file,
                        std::function<bool()> ready);

// The environment variable that asks for the start-up times on standard
// output ("shown N ms", "listed N ms" from `started`), after which the
// window closes; used by bench/window-startup.sh.
inline constexpr char kStartupReportVariable[] = "CORDSHIFT_STARTUP_REPORT";

void ScheduleStartupReport(QWidget& window,
                           std::chrono::steady_clock::time_point started,
                           std::function<bool()> listed);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_SCREENSHOT_H_
