#include "batch/work_ahead.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "wiring/background_queue.h"

namespace cordshift {
namespace {

// A queue whose thread is held in a piece of work until Release, so that
// what is handed over meanwhile waits for it. What a test's work uses is
// declared before the queue, whose thread then ends before it goes.
class HeldQueue {
 public:
  HeldQueue() {
    queue.Push([this, released = release_.get_future().share()] {
      Note("held");
      released.wait();
    });
    while (!Noted("held")) std::this_thread::yield();
  }
  ~HeldQueue() { Release(); }

  void Release() {
    if (!released_.exchange(true)) release_.set_value();
  }
  void Note(const std::string& what) {
    const std::lock_guard<std::mutex> lock(mutex_);
    order_.push_back(what);
  }
  bool Noted(const std::string& what) {
    const std::lock_guard<std::mutex> lock(mutex_);
    return std::find(order_.begin(), order_.end(), what) != order_.end();
  }
  std::vector<std::string> order() {
    const std::lock_guard<std::mutex> lock(mutex_);
    return order_;
  }

 private:
  std::promise<void> release_;
  std::atomic<bool> released_{false};
  std::mutex mutex_;
  std::vector<std::string> order_;

 public:
  BackgroundQueue queue;  // last: its thread uses everything above
};

TEST(BackgroundQueueTest, TheThreadTakesUpTheErrandBeforeWaitingPieces) {
  std::promise<void> errand_done;
  const std::future<void> errand_finished = errand_done.get_future();
  HeldQueue held;
  held.queue.Push([&held] { held.Note("piece"); });
  held.queue.StartErrand([&] {
    held.Note("errand");
    errand_done.set_value();
  });
  held.Release();
  errand_finished.wait();
  held.queue.WaitForAll();
  EXPECT_EQ(held.order(),
            (std::vector<std::string>{"held", "errand", "piece"}));
}

// The caller's wait for the pieces does the pieces the thread has not
// taken up, and neither does nor waits for an errand under way.
TEST(BackgroundQueueTest, WaitingForThePiecesLeavesTheErrandToTheThread) {
  std::promise<void> errand_started;
  const std::future<void> errand_under_way = errand_started.get_future();
  std::promise<void> finish_errand;
  std::vector<std::thread::id> done_by;
  BackgroundQueue queue;
  queue.StartErrand(
      [&errand_started, finish = finish_errand.get_future().share()] {
        errand_started.set_value();
        finish.wait();
      });
  errand_under_way.wait();
  for (int piece = 0; piece < 3; ++piece) {
    queue.Push([&done_by] { done_by.push_back(std::this_thread::get_id()); });
  }
  queue.WaitForAll();
  EXPECT_EQ(done_by,
            std::vector<std::thread::id>(3, std::this_thread::get_id()));
  finish_errand.set_value();
}

TEST(WorkAheadTest, WorkNotTakenUpIsDoneByTakeOrDroppedByAbandon) {
  for (const bool take : {true, false}) {
    SCOPED_TRACE(take ? "take" : "abandon");
    HeldQueue held;
    std::thread::id done_by;
    {
      WorkAhead<int> ahead(held.queue);
      ahead.Start([&done_by](const std::atomic<bool>&) {
        done_by = std::this_thread::get_id();
        return 7;
      });
      if (take) {
        EXPECT_EQ(ahead.Take(), 7);
        EXPECT_EQ(done_by, std::this_thread::get_id());
      } else {
        ahead.Abandon();
        EXPECT_FALSE(ahead.started());
      }
    }
    held.Release();
    held.queue.WaitForAll();
    if (!take) {
      EXPECT_EQ(done_by, std::thread::id());
    }
  }
}

// Work under way when its result is abandoned is told so, and the
// abandoning waits for it to end.
TEST(WorkAheadTest, AbandonWaitsForWorkUnderWay) {
  std::promise<void> started;
  const std::future<void> under_way = started.get_future();
  std::atomic<bool> ended{false};
  BackgroundQueue queue;
  WorkAhead<int> ahead(queue);
  ahead.Start([&](const std::atomic<bool>& abandoned) {
    started.set_value();
    while (!abandoned) std::this_thread::yield();
    ended = true;
    return 0;
  });
  under_way.wait();
  ahead.Abandon();
  EXPECT_TRUE(ended);
  EXPECT_FALSE(ahead.started());
}

}  // namespace
}  // namespace cordshift
