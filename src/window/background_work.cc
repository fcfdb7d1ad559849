#include "window/background_work.h"

#include <chrono>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace cordshift {

void ForwardingDisplay::ShowPending(Pending& pending, Display& target) {
  std::optional<std::string> guide;
  std::optional<std::string> count;
  std::optional<std::pair<int, int>> progress;
  {
    const std::lock_guard<std::mutex> lock(pending.mutex);
    guide.swap(pending.guide);
    count.swap(pending.count);
    progress.swap(pending.progress);
  }
  if (guide) target.ShowGuide(*guide);
  if (count) target.SetConvertedCount(*count);
  if (progress) target.ShowRunProgress(progress->first, progress->second);
}

template <typename Change>
void ForwardingDisplay::ChangeState(Change change) {
  std::chrono::steady_clock::duration wait{};
  {
    const std::lock_guard<std::mutex> lock(pending_->mutex);
    change(*pending_);
    if (pending_->showing_posted) return;
    pending_->showing_posted = true;
    wait = kFrame - (std::chrono::steady_clock::now() - pending_->last_shown);
  }
  auto show = [pending = pending_, alive = alive_, &target = target_] {
    {
      const std::lock_guard<std::mutex> lock(pending->mutex);
      pending->showing_posted = false;
      pending->last_shown = std::chrono::steady_clock::now();
    }
    if (!alive.expired()) ShowPending(*pending, target);
  };
  if (wait <= std::chrono::steady_clock::duration::zero()) {
    dispatcher_.Post(std::move(show));
  } else {
    dispatcher_.PostAfter(std::chrono::ceil<std::chrono::milliseconds>(wait),
                          std::move(show));
  }
}

void ForwardingDisplay::Post(std::function<void()> task) {
  dispatcher_.Post([pending = pending_, alive = alive_, &target = target_,
                    task = std::move(task)] {
    if (!alive.expired()) ShowPending(*pending, target);
    task();
  });
}

void ForwardingDisplay::ShowGuide(std::string_view text) {
  ChangeState([&](Pending& pending) { pending.guide = std::string(text); });
}

void ForwardingDisplay::SetConvertedCount(std::string_view caption) {
  ChangeState([&](Pending& pending) { pending.count = std::string(caption); });
}

void ForwardingDisplay::ShowRunProgress(int folders_done, int folder_count) {
  ChangeState([&](Pending& pending) {
    pending.progress = std::make_pair(folders_done, folder_count);
  });
}

// A message box is modal: the work goes on only once it is acknowledged (or
// the window is gone).
void ForwardingDisplay::ShowModal(std::function<void(Display&)> show) {
  std::promise<void> acknowledged;
  std::future<void> done = acknowledged.get_future();
  Post([alive = alive_, &target = target_, &acknowledged,
        show = std::move(show)] {
    if (!alive.expired()) show(target);
    acknowledged.set_value();
  });
  done.wait();
}

void ForwardingDisplay::ShowMessage(std::string_view text, MessageIcon icon) {
  ShowModal([text = std::string(text), icon](Display& target) {
    target.ShowMessage(text, icon);
  });
}

void ForwardingDisplay::ShowFailure(std::string_view text,
                                    std::string_view cause) {
  ShowModal([text = std::string(text), cause = std::string(cause)](
                Display& target) { target.ShowFailure(text, cause); });
}

void ForwardingDisplay::ShowAnalysisFailure(std::string_view text,
                                            std::string_view cause) {
  ShowModal([text = std::string(text), cause = std::string(cause)](
                Display& target) { target.ShowAnalysisFailure(text, cause); });
}

void ForwardingDisplay::ShowList(ListId list,
                                 std::shared_ptr<const ListRows> rows) {
  Post([alive = alive_, &target = target_, list,
        rows = std::move(rows)]() mutable {
    if (!alive.expired()) target.ShowList(list, std::move(rows));
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
    display.Post([this, alive = std::weak_ptr<const bool>(alive_),
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
