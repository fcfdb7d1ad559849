#ifndef CORDSHIFT_WIRING_BACKGROUND_QUEUE_H_
#define CORDSHIFT_WIRING_BACKGROUND_QUEUE_H_

// Work handed to a thread of its own, without waiting for it. Two kinds:
//
// - Pieces, done in order of handing over: the caller waits only when it
//   needs every piece handed over so far done, and then does itself the
//   pieces the thread has not taken up. Pieces must not depend on each
//   other for that reason.
// - One errand at a time: a longer piece of work whose result the caller
//   takes later (listing the next folder of a run while this one is
//   converted). The thread takes it up before any waiting piece, since the
//   caller will wait for it, and the caller's wait for the pieces neither
//   does it nor waits for it.
//
// Both share one thread so that they never compete with each other for a
// core while the caller's own thread needs the other one. The thread is
// started with the first work and waits for the next in between, since
// starting one per piece would cost more than most pieces.

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

namespace cordshift {

class BackgroundQueue {
 public:
  using Work = std::function<void()>;

  BackgroundQueue() = default;
  ~BackgroundQueue();
  BackgroundQueue(const BackgroundQueue&) = delete;
  BackgroundQueue& operator=(const BackgroundQueue&) = delete;

  // Hands a piece over; it must not throw.
  void Push(Work work);

  // Waits until every piece handed over has been done, doing on the
  // calling thread what the queue's thread has not yet taken up.
  void WaitForAll();

  // Hands the errand over; it must not throw, and no other errand may be
  // waiting.
  void StartErrand(Work errand);

  // Takes back the errand when the thread has not taken it up yet, for the
  // caller to do itself or drop; no value when there is none waiting.
  std::optional<Work> WithdrawErrand();

 private:
  void StartThread();
  void Serve();
  // Does the first piece waiting, with `lock` (on mutex_) released
  // meanwhile.
  void DoNext(std::unique_lock<std::mutex>& lock);

  std::mutex mutex_;
  std::condition_variable work_arrived_;
  std::condition_variable work_done_;
  // All guarded by mutex_.
  std::deque<Work> waiting_;
  std::optional<Work> errand_;
  std::uint64_t handed_over_ = 0;
  std::uint64_t done_ = 0;
  bool idle_ = false;  // the thread waits for work
  bool quitting_ = false;
  std::thread thread_;  // last: it uses everything above
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_BACKGROUND_QUEUE_H_
