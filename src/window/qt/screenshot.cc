#include "window/qt/screenshot.h"

#include <QPixmap>
#include <QTimer>
#include <QWidget>
#include <cstdio>
#include <utility>

namespace cordshift {
namespace {

// Time for the window system to map the window and for pending layout and
// polishing to settle.
constexpr int kSettleMilliseconds = 500;

}  // namespace

void ScheduleScreenshot(QWidget& window, const QString& png_file,
                        std::function<bool()> ready) {
  QTimer::singleShot(kSettleMilliseconds, &window,
                     [&window, png_file, ready = std::move(ready)] {
                       // The lists fill in on a worker; a picture waits for
                       // them.
                       if (!ready()) {
                         ScheduleScreenshot(window, png_file, ready);
                         return;
                       }
                       if (!window.grab().save(png_file, "PNG")) {
                         std::fprintf(stderr, "Cordshift: could not write %s\n",
                                      png_file.toLocal8Bit().constData());
                       }
                       window.close();
                     });
}

namespace {

long long MillisecondsSince(std::chrono::steady_clock::time_point started) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now() - started)
      .count();
}

void ReportWhenListed(QWidget& window,
                      std::chrono::steady_clock::time_point started,
                      std::function<bool()> listed) {
  constexpr int kPollMilliseconds = 10;
  QTimer::singleShot(kPollMilliseconds, &window,
                     [&window, started, listed = std::move(listed)] {
                       if (!listed()) {
                         ReportWhenListed(window, started, listed);
                         return;
                       }
                       std::printf("listed %lld ms\n",
                                   MillisecondsSince(started));
                       std::fflush(stdout);
                       window.close();
                     });
}

}  // namespace

// The first timer runs once the event loop has handled the window's first
// show and paint.
void ScheduleStartupReport(QWidget& window,
                           std::chrono::steady_clock::time_point started,
                           std::function<bool()> listed) {
  QTimer::singleShot(
      0, &window, [&window, started, listed = std::move(listed)] {
        std::printf("shown %lld ms\n", MillisecondsSince(started));
        std::fflush(stdout);
        ReportWhenListed(window, started, listed);
      });
}

}  // namespace cordshift
