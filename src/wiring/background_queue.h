#ifndef CORDSHIFT_WIRING_BACKGROUND_QUEUE_H_
#define CORDSHIFT_WIRING_BACKGROUND_QUEUE_H_

// Work handed to a thread of its own, in order of handing over, without
// waiting for it: the caller waits only when it needs everything handed
// over so far to have been done. Pieces of work must not depend on each
// other, since the caller may do some of them itself meanwhile. The thread is
// started with the first piece of work and waits for the next in between, since
// starting one per piece would cost more than most pieces.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

namespace cordshift {

class BackgroundQueue {
 public:
  using Work = std::function<void()>;

  BackgroundQueue() = default;
  ~BackgroundQueue();
  BackgroundQueue(const BackgroundQueue&) = delete;
  BackgroundQueue& operator=(const BackgroundQueue&) = delete;

  // Hands `work` over; it must not throw.
  void Push(Work work);

  // Waits until every piece of work handed over has been done, doing on
  // the calling thread what the queue's thread has not yet taken up.
  void WaitForAll();

 private:
  void Serve();
  // Does the first piece of work waiting, with `lock` (on mutex_) released
  // meanwhile.
  void DoNext(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable work_arrived_;
  std::condition_variable work_done_;
  // All guarded by mutex_.
  std::deque<Work> waiting_;
  std::uint64_t handed_over_ = 0;
  std::uint64_t done_ = 0;
  bool idle_ = false;  // the thread waits for work
  bool quitting_ = false;
  std::thread thread_;  // last: it uses everything above
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_BACKGROUND_QUEUE_H_
