#ifndef CORDSHIFT_BATCH_WORK_AHEAD_H_
#define CORDSHIFT_BATCH_WORK_AHEAD_H_

// Work done on another thread ahead of its turn, such as listing the next
// folder of a run while the current one is converted, and the view that
// keeps what such work shows until its turn comes.

#include <array>
#include <atomic>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <optional>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "wiring/conversion_view.h"

namespace cordshift {

// A view that keeps everything it is shown, in order, to show it on another
// view later. It asks to stop once the work it serves is no longer wanted.
class DeferredView : public ConversionView {
 public:
  explicit DeferredView(const std::atomic<bool>& abandoned)
      : abandoned_(&abandoned) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ClearList(ListId list) override;
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override;
  int ListRowCount(ListId list) const override;
  void SetConvertedCount(std::string_view caption) override;
  void ReportFile(const FileReport& report) override;
  void ShowRunProgress(int folders_done, int folder_count) override;
  bool StopRequested() const override;

  // Shows everything kept on `view`, in the order it was shown here.
  void ShowOn(ConversionView& view) const;

 private:
  static std::size_t Slot(ListId list) {
    return list == ListId::kSource ? 0 : 1;
  }

  std::vector<std::function<void(ConversionView&)>> calls_;
  std::array<int, 2> rows_{};
  const std::atomic<bool>* abandoned_;
};

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
