#include "window/qt/background_run.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QObject>
#include <utility>

#include "window/qt/forwarding_view.h"

namespace cordshift {
BackgroundRun::~BackgroundRun() { WaitWithEvents(); }

void BackgroundRun::Start(QObject& receiver, ConversionView& target,
                          std::array<int, 2> row_counts, Work work,
                          Finished finished) {
  if (active_) return;
  active_ = true;
  work_done_ = false;
  worker_ =
      std::thread([this, &receiver, &target, row_counts, work = std::move(work),
                   finished = std::move(finished)]() mutable {
        ForwardingView view(receiver, target, row_counts);
        work(view);
        work_done_ = true;
        QMetaObject::invokeMethod(
            &receiver,
            [this, finished = std::move(finished)] {
              // WaitWithEvents lets the worker go itself.
              if (!active_ || waiting_) return;
              JoinWorker();
              finished();
            },
            Qt::QueuedConnection);
      });
}

void BackgroundRun::WaitWithEvents() {
  if (!active_) return;
  // The worker may be waiting for a message box on this thread, so this
  // thread must keep handling events rather than block on the worker.
  // The worker's last act is to post its finishing call, which wakes this
  // loop after the flag is set.
  waiting_ = true;
  while (!work_done_) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  JoinWorker();
  waiting_ = false;
}

void BackgroundRun::JoinWorker() {
  if (worker_.joinable()) worker_.join();
  active_ = false;
}

}  // namespace cordshift
