#ifndef CORDSHIFT_WINDOW_QT_RUN_REPORT_H_
#define CORDSHIFT_WINDOW_QT_RUN_REPORT_H_

// What bench/window-run.sh asks of the window: once the lists are filled,
// the run button is pressed; meanwhile a thread of its own posts calls to
// the window one after the other and notes how long each waited. When the
// run is over, "run MS", "answers N" and "longest answer MS" go to
// standard output and the window closes.

#include <functional>

class QWidget;

namespace cordshift {

inline constexpr char kRunReportVariable[] = "CORDSHIFT_RUN_REPORT";

// `ready` says the lists are filled (and later that the run is over);
// `run` presses the run button.
void ScheduleRunReport(QWidget& window, std::function<bool()> ready,
                       std::function<void()> run);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_RUN_REPORT_H_
