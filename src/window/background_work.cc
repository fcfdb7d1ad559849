#include "window/background_work.h"

#include <array>
#include <chrono>
#include <cstddef>
#include <future>
#include <mutex>
#include <optional>
#include <string>
#include <utility>

namespace cordshift {

namespace {

using Clock = std::chrono::steady_clock;

std::size_t Slot(ListId list) { return list == ListId::kSource ? 0 : 1; }
ListId ListOfSlot(std::size_t slot) {
  return slot == 0 ? ListId::kSource : ListId::kDestination;
}

}  // namespace

struct ForwardingDisplay::Taken {
  std::optional<std::string> guide;
  std::optional<std::string> count;
  std::optional<std::pair<int, int>> progress;
  std::array<std::shared_ptr<const ListRows>, 2> lists;
};

void ForwardingDisplay::ShowPending(Pending& pending, Display& target,
                                    bool lists_due) {
  Taken taken;
  {
    const std::lock_guard<std::mutex> lock(pending.mutex);
    taken.guide.swap(pending.guide);
    taken.count.swap(pending.count);
    taken.progress.swap(pending.progress);
    const Clock::time_point now = Clock::now();
    if (lists_due || now - pending.last_list_shown >= kListFrame) {
      taken.lists.swap(pending.lists);
      if (taken.lists[0] || taken.lists[1]) pending.last_list_shown = now;
    }
  }
  for (std::size_t slot = 0; slot < taken.lists.size(); ++slot) {
    if (taken.lists[slot]) {
      target.ShowList(ListOfSlot(slot), std::move(taken.lists[slot]));
    }
  }
  if (taken.guide) target.ShowGuide(*taken.guide);
  if (taken.count) target.SetConvertedCount(*taken.count);
  if (taken.progress) {
    target.ShowRunProgress(taken.progress->first, taken.progress->second);
  }
}

void ForwardingDisplay::PostShowing(Dispatcher& dispatcher,
                                    const std::shared_ptr<Pending>& pending,
                                    const std::weak_ptr<const bool>& alive,
                                    Display& target, Clock::duration wait) {
  auto show = [&dispatcher, pending, alive, &target] {
    if (alive.expired()) return;
    {
      const std::lock_guard<std::mutex> lock(pending->mutex);
      pending->showing_posted = false;
      pending->last_shown = Clock::now();
    }
    ShowPending(*pending, target, false);
    // A list changed within its frame waits for the frame's end.
    Clock::duration list_wait{};
    {
      const std::lock_guard<std::mutex> lock(pending->mutex);
      if (pending->showing_posted ||
          (!pending->lists[0] && !pending->lists[1])) {
        return;
      }
      pending->showing_posted = true;
      list_wait = kListFrame - (Clock::now() - pending->last_list_shown);
    }
    PostShowing(dispatcher, pending, alive, target, list_wait);
  };
  if (wait <= Clock::duration::zero()) {
    dispatcher.Post(std::move(show));
  } else {
    dispatcher.PostAfter(std::chrono::ceil<std::chrono::milliseconds>(wait),
                         std::move(show));
  }
}

template <typename Change>
void ForwardingDisplay::ChangeState(Change change) {
  Clock::duration wait{};
  {
    const std::lock_guard<std::mutex> lock(pending_->mutex);
    change(*pending_);
    if (pending_->showing_posted) return;
    pending_->showing_posted = true;
    wait = kFrame - (Clock::now() - pending_->last_shown);
  }
  PostShowing(dispatcher_, pending_, alive_, target_, wait);
}

void ForwardingDisplay::Post(std::function<void()> task) {
  dispatcher_.Post([pending = pending_, alive = alive_, &target = target_,
                    task = std::move(task)] {
    if (!alive.expired()) ShowPending(*pending, target, true);
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
  ChangeState(
      [&](Pending& pending) { pending.lists[Slot(list)] = std::move(rows); });
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
