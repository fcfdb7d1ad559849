#ifndef CORDSHIFT_BATCH_WORK_AHEAD_H_
#define CORDSHIFT_BATCH_WORK_AHEAD_H_

// Work done on another thread ahead of its turn, such as listing the next
// folder of a run while the current one is converted: its result is a
// value that waits for its turn.

#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <utility>

#include "wiring/background_queue.h"

namespace cordshift {

// One piece of work at a time, run as the errand of a BackgroundQueue, whose
// thread it shares with the queue's pieces. The work is handed a flag that
// is set when its result is no longer wanted, so that it can end early; the
// result is then dropped. Start, Take and Abandon are called from one
// thread, the queue's caller.
template <typename Result>
class WorkAhead {
 public:
  using Work = std::function<Result(const std::atomic<bool>& abandoned)>;

  // `queue` must outlive this.
  explicit WorkAhead(BackgroundQueue& queue) : queue_(queue) {}
  ~WorkAhead() { Abandon(); }
  WorkAhead(const WorkAhead&) = delete;
  WorkAhead& operator=(const WorkAhead&) = delete;

  // Starts `work`; any earlier work is abandoned first.
  void Start(Work work) {
    Abandon();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      abandoned_ = false;
      work_ = std::move(work);
      state_ = State::kWaiting;
    }
    queue_.StartErrand([this] { Run(); });
  }

  // True from Start until the work's result is taken or dropped.
  bool started() const { return state_ != State::kIdle; }

  // Waits for the work started last and hands over its result; an
  // exception of the work is thrown here. Work the queue's thread has not
  // taken up yet is done here rather than waited for.
  Result Take() {
    if (std::optional<BackgroundQueue::Work> errand = queue_.WithdrawErrand()) {
      (*errand)();
    }
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [this] { return state_ == State::kDone; });
    state_ = State::kIdle;
    std::optional<Result> result = std::move(result_);
    result_.reset();
    if (const std::exception_ptr error = std::exchange(error_, nullptr)) {
      std::rethrow_exception(error);
    }
    return std::move(*result);
  }

  // Tells the work that its result is not wanted and waits for it to end;
  // work not taken up yet is dropped.
  void Abandon() {
    if (state_ == State::kIdle) return;
    abandoned_ = true;
    const bool withdrawn = queue_.WithdrawErrand().has_value();
    std::unique_lock<std::mutex> lock(mutex_);
    if (!withdrawn) {
      changed_.wait(lock, [this] { return state_ == State::kDone; });
    }
    state_ = State::kIdle;
    work_ = nullptr;
    result_.reset();
    error_ = nullptr;
  }

 private:
  enum class State { kIdle, kWaiting, kDone };

  void Run() {
    Work work;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      work = std::move(work_);
    }
    std::optional<Result> result;
    std::exception_ptr error;
    try {
      result.emplace(work(abandoned_));
    } catch (...) {
      error = std::current_exception();
    }
    // Told under the lock: once it is released, the waiter may destroy
    // this.
    const std::lock_guard<std::mutex> lock(mutex_);
    result_ = std::move(result);
    error_ = error;
    state_ = State::kDone;
    changed_.notify_all();
  }

  BackgroundQueue& queue_;
  std::mutex mutex_;
  std::condition_variable changed_;
  // All guarded by mutex_; state_ is read unguarded only by the thread
  // that starts and takes the work, which alone moves it out of kIdle.
  std::atomic<State> state_{State::kIdle};
  Work work_;
  std::optional<Result> result_;
  std::exception_ptr error_;
  std::atomic<bool> abandoned_{false};
};

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_WORK_AHEAD_H_
