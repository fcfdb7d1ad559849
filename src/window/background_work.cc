#include "window/background_work.h"

#include <future>
#include <utility>

namespace cordshift {

template <typename Call>
void ForwardingDisplay::Forward(Call call) {
  dispatcher_.Post([alive = alive_, call = std::move(call)]() mutable {
    if (!alive.expired()) call();
  });
}

void ForwardingDisplay::ShowGuide(std::string_view text) {
  Forward([&target = target_, text = std::string(text)] {
    target.ShowGuide(text);
  });
}

// A message box is modal: the work goes on only once it is acknowledged (or
// the window is gone).
void ForwardingDisplay::ShowMessage(std::string_view text, MessageIcon icon) {
  std::promise<void> acknowledged;
  std::future<void> done = acknowledged.get_future();
  dispatcher_.Post([alive = alive_, &target = target_, &acknowledged,
                    text = std::string(text), icon] {
    if (!alive.expired()) target.ShowMessage(text, icon);
    acknowledged.set_value();
  });
  done.wait();
}

void ForwardingDisplay::ShowList(ListId list,
                                 std::shared_ptr<const ListRows> rows) {
  Forward([&target = target_, list, rows = std::move(rows)]() mutable {
    target.ShowList(list, std::move(rows));
  });
}

void ForwardingDisplay::SetConvertedCount(std::string_view caption) {
  Forward([&target = target_, caption = std::string(caption)] {
    target.SetConvertedCount(caption);
  });
}

void ForwardingDisplay::ShowRunProgress(int folders_done, int folder_count) {
  Forward([&target = target_, folders_done, folder_count] {
    target.ShowRunProgress(folders_done, folder_count);
  });
}

BackgroundWork::~BackgroundWork() { Wait(); }

void BackgroundWork::Start(Display& target, Work work, Finished finished) {
  if (active_) return;
  active_ = true;
  work_done_ = false;
  worker_ = std::thread([this, &target, work = std::move(work),
                         finished = std::move(finished)]() mutable {
    ForwardingDisplay display(dispatcher_, target, alive_);
    work(display);
    // Set before the finishing call is posted: a Wait that sleeps until the
    // next task must find the work done when that task wakes it.
    work_done_ = true;
    // Posted last, so it runs after every call the work made.
    dispatcher_.Post([this, alive = std::weak_ptr<const bool>(alive_),
                      finished = std::move(finished)] {
      // Wait lets the worker go itself.
      if (alive.expired() || !active_ || waiting_) return;
      JoinWorker();
      finished();
    });
  });
}

void BackgroundWork::Wait() {
  if (!active_) return;
  // The worker may be waiting for a message box on this thread, so this
  // thread must keep handling tasks rather than block on the worker.
  waiting_ = true;
  dispatcher_.RunUntil([this] { return work_done_.load(); });
  JoinWorker();
  waiting_ = false;
}

void BackgroundWork::JoinWorker() {
  if (worker_.joinable()) worker_.join();
  active_ = false;
}

}  // namespace cordshift
