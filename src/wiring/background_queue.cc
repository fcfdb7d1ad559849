#include "wiring/background_queue.h"

#include <cstddef>
#include <utility>

namespace cordshift {

BackgroundQueue::~BackgroundQueue() {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    quitting_ = true;
  }
  work_arrived_.notify_one();
  if (thread_.joinable()) thread_.join();
}

void BackgroundQueue::Push(Work work) {
  // An idle thread is woken for a few pieces at a time: a wake-up call
  // costs the caller about as much as a small piece of work, and what the
  // thread has not taken up when the caller waits, the caller does itself.
  // A thread busy with earlier work finds new work on its own.
  constexpr std::size_t kPiecesPerWakeUp = 4;
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(work));
    ++handed_over_;
    wake = idle_ && waiting_.size() >= kPiecesPerWakeUp;
  }
  if (!thread_.joinable()) {
    StartThread();
  } else if (wake) {
    work_arrived_.notify_one();
  }
}

void BackgroundQueue::WaitForAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  // Pieces the thread has not taken up yet are done here rather than
  // waited for: the thread may be busy with the errand.
  while (!waiting_.empty()) DoNext(lock);
  work_done_.wait(lock, [this] { return done_ == handed_over_; });
}

void BackgroundQueue::StartErrand(Work errand) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    errand_ = std::move(errand);
  }
  if (!thread_.joinable()) {
    StartThread();
  } else {
    work_arrived_.notify_one();
  }
}

std::optional<BackgroundQueue::Work> BackgroundQueue::WithdrawErrand() {
  const std::lock_guard<std::mutex> lock(mutex_);
  return std::exchange(errand_, std::nullopt);
}

void BackgroundQueue::StartThread() {
  thread_ = std::thread([this] { Serve(); });
}

void BackgroundQueue::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (errand_) {
      Work errand = std::move(*errand_);
      errand_.reset();
      lock.unlock();
      errand();
      lock.lock();
      continue;
    }
    if (waiting_.empty()) {
      if (quitting_) return;
      idle_ = true;
      work_arrived_.wait(
          lock, [this] { return quitting_ || errand_ || !waiting_.empty(); });
      idle_ = false;
      continue;
    }
    DoNext(lock);
    if (done_ == handed_over_) work_done_.notify_all();
  }
}

void BackgroundQueue::DoNext(std::unique_lock<std::mutex>& lock) {
  Work work = std::move(waiting_.front());
  waiting_.pop_front();
  lock.unlock();
  work();
  lock.lock();
  ++done_;
}

}  // namespace cordshift
