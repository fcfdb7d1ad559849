#include "wiring/background_queue.h"

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
  bool wake = false;
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    waiting_.push_back(std::move(work));
    ++handed_over_;
    wake = idle_;
  }
  if (!thread_.joinable()) {
    thread_ = std::thread([this] { Serve(); });
  } else if (wake) {
    // A thread busy with earlier work finds this on its own, without the
    // cost of a wake-up call.
    work_arrived_.notify_one();
  }
}

void BackgroundQueue::WaitForAll() {
  std::unique_lock<std::mutex> lock(mutex_);
  work_done_.wait(lock, [this] { return done_ == handed_over_; });
}

void BackgroundQueue::Serve() {
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (waiting_.empty()) {
      if (quitting_) return;
      idle_ = true;
      work_arrived_.wait(lock,
                         [this] { return quitting_ || !waiting_.empty(); });
      idle_ = false;
      continue;
    }
    Work work = std::move(waiting_.front());
    waiting_.pop_front();
    lock.unlock();
    work();
    lock.lock();
    ++done_;
    if (done_ == handed_over_) work_done_.notify_all();
  }
}

}  // namespace cordshift
