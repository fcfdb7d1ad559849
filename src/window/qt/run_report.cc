#include "window/qt/run_report.h"

#include <QCoreApplication>
#include <QEventLoop>
#include <QMetaObject>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <utility>

namespace cordshift {
namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds kPoll{10};

// Posts a call to the window, waits for it to run, notes the wait and
// posts the next one a moment later.
class CallProbe {
 public:
  explicit CallProbe(QWidget& window)
      : window_(window), thread_([this] { Probe(); }) {}
  ~CallProbe() { Stop(); }
  CallProbe(const CallProbe&) = delete;
  CallProbe& operator=(const CallProbe&) = delete;

  // On the window's thread, which goes on answering until the probe has
  // its last answer.
  void Stop() {
    stop_ = true;
    while (!finished_) {
      QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    if (thread_.joinable()) thread_.join();
  }

  int answers() const { return answers_; }
  std::chrono::milliseconds longest() const { return longest_; }

 private:
  void Probe() {
    long long call = 0;
    while (!stop_) {
      ++call;
      const Clock::time_point posted = Clock::now();
      QMetaObject::invokeMethod(
          &window_, [this, call] { answered_ = call; }, Qt::QueuedConnection);
      while (answered_ < call) std::this_thread::sleep_for(kPause);
      longest_ = std::max(longest_,
                          std::chrono::duration_cast<std::chrono::milliseconds>(
                              Clock::now() - posted));
      ++answers_;
      std::this_thread::sleep_for(kGap);
    }
    finished_ = true;
  }

  static constexpr std::chrono::milliseconds kPause{1};
  static constexpr std::chrono::milliseconds kGap{20};

  QWidget& window_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::atomic<long long> answered_{0};
  int answers_ = 0;
  std::chrono::milliseconds longest_{0};
  std::thread thread_;
};

// Calls `then` on the window's thread once `done` says so.
void When(QWidget& window, std::function<bool()> done,
          std::function<void()> then) {
  QTimer::singleShot(
      kPoll, &window,
      [&window, done = std::move(done), then = std::move(then)]() mutable {
        if (!done()) {
          When(window, std::move(done), std::move(then));
          return;
        }
        then();
      });
}

}  // namespace

void ScheduleRunReport(QWidget& window, std::function<bool()> ready,
                       std::function<void()> run) {
  When(window, ready, [&window, ready, run = std::move(run)] {
    auto probe = std::make_shared<CallProbe>(window);
    const Clock::time_point started = Clock::now();
    run();
    When(window, ready, [&window, probe, started] {
      const auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
          Clock::now() - started);
      probe->Stop();
      std::printf("run %lld\nanswers %d\nlongest answer %lld\n",
                  static_cast<long long>(took.count()), probe->answers(),
                  static_cast<long long>(probe->longest().count()));
      std::fflush(stdout);
      window.close();
    });
  });
}

}  // namespace cordshift
