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

}  // namespace cordshift
