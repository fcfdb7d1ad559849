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
#include <thread>
#include <utility>

namespace cordshift {

// One piece of work at a time, run on a thread of its own that waits for
// the next piece in between (starting a thread per piece would cost more
// than some pieces). The work is handed a flag that is set when its result
// is no longer wanted, so that it can end early; the result is then
// dropped.
template <typename Result>
class WorkAhead {
 public:
  using Work = std::function<Result(const std::atomic<bool>& abandoned)>;

  WorkAhead() = default;
  ~WorkAhead() {
    Abandon();
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      quitting_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable()) thread_.join();
  }
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
    if (!thread_.joinable()) thread_ = std::thread([this] { Serve(); });
    changed_.notify_all();
  }

  // True from Start until the work's result is taken or dropped.
  bool started() const { return state_ != State::kIdle; }

  // Waits for the work started last and hands over its result; an
  // exception of the work is thrown here.
  Result Take() {
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

  // Tells the work that its result is not wanted and waits for it to end.
  void Abandon() {
    std::unique_lock<std::mutex> lock(mutex_);
    if (state_ == State::kIdle) return;
    abandoned_ = true;
    changed_.wait(lock, [this] { return state_ == State::kDone; });
    state_ = State::kIdle;
    result_.reset();
    error_ = nullptr;
  }

 private:
  enum class State { kIdle, kWaiting, kRunning, kDone };

  void Serve() {
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      changed_.wait(lock,
                    [this] { return quitting_ || state_ == State::kWaiting; });
      if (quitting_) return;
      state_ = State::kRunning;
      Work work = std::move(work_);
      lock.unlock();
      std::optional<Result> result;
      std::exception_ptr error;
      try {
        result.emplace(work(abandoned_));
      } catch (...) {
        error = std::current_exception();
      }
      lock.lock();
      result_ = std::move(result);
      error_ = error;
      state_ = State::kDone;
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  // All guarded by mutex_; state_ is read unguarded only by the thread
  // that starts and takes the work, which alone moves it out of kIdle.
  std::atomic<State> state_{State::kIdle};
  Work work_;
  std::optional<Result> result_;
  std::exception_ptr error_;
  bool quitting_ = false;
  std::atomic<bool> abandoned_{false};
  std::thread thread_;  // last: it uses everything above
};

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_WORK_AHEAD_H_
