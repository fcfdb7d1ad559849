#ifndef CORDSHIFT_WINDOW_QT_BACKGROUND_RUN_H_
#define CORDSHIFT_WINDOW_QT_BACKGROUND_RUN_H_

// Runs one piece of work at a time on a worker thread, talking to a view
// through a ForwardingView, so that the window keeps repainting meanwhile.

#include <array>
#include <atomic>
#include <functional>
#include <thread>

#include "wiring/conversion_view.h"

class QObject;

namespace cordshift {

class BackgroundRun {
 public:
  using Work = std::function<void(ConversionView&)>;
  using Finished = std::function<void()>;

  BackgroundRun() = default;
  BackgroundRun(const BackgroundRun&) = delete;
  BackgroundRun& operator=(const BackgroundRun&) = delete;
  // Waits for unfinished work, handling the receiver's events meanwhile.
  ~BackgroundRun();

  // Starts `work` on a worker thread. Its view calls reach `target` on the
  // thread of `receiver`, which must be the calling thread; `finished` runs
  // there once the work has ended and the worker is gone. Does nothing
  // while earlier work is active.
  void Start(QObject& receiver, ConversionView& target,
             std::array<int, 2> row_counts, Work work, Finished finished);

  // True from Start until just before `finished` runs.
  bool Active() const { return active_; }

  // Keeps handling the calling thread's events until the work has ended,
  // then lets the worker go. `finished` does not run.
  void WaitWithEvents();

 private:
  void JoinWorker();

  std::thread worker_;
  std::atomic<bool> work_done_{false};
  bool active_ = false;
  bool waiting_ = false;  // inside WaitWithEvents
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_BACKGROUND_RUN_H_
