#ifndef CORDSHIFT_WINDOW_BACKGROUND_WORK_H_
#define CORDSHIFT_WINDOW_BACKGROUND_WORK_H_

// Runs one piece of work at a time on a worker thread. The work talks to a
// view whose calls are carried to the user-interface thread in their order,
// so that the window keeps repainting while files are read and written.

#include <array>
#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "present/display.h"
#include "window/dispatcher.h"

namespace cordshift {

// The display the work on the worker thread talks to: its calls are carried
// to the user-interface thread. The guide text, the counter and the
// progress only show a state, so the latest of each is kept and shown at
// most once a frame (about 30 times a second): a run of thousands of files
// must not queue thousands of calls in front of the user's input and the
// window's painting. A list, whose drawing costs far more, shows its latest
// rows at most twice a second: a list drawn again costs the window's thread
// about 25 ms under Wine, and at five times a second both lists took a
// quarter of a run's time. Messages and the end of the work are
// carried in their order, after all the state before them. Messages wait
// there until the user has acknowledged them; nothing else makes the work
// wait.
class ForwardingDisplay : public Display {
 public:
  // The shortest time between two showings of the state, and of a list.
  static constexpr std::chrono::milliseconds kFrame{33};
  static constexpr std::chrono::milliseconds kListFrame{500};

  // Calls that reach the user-interface thread after `alive` has expired
  // (the window is gone) are dropped.
  ForwardingDisplay(Dispatcher& dispatcher, Display& target,
                    std::weak_ptr<const bool> alive)
      : dispatcher_(dispatcher), target_(target), alive_(std::move(alive)) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ShowFailure(std::string_view text, std::string_view cause) override;
  void ShowAnalysisFailure(std::string_view text,
                           std::string_view cause) override;
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override;
  void SetConvertedCount(std::string_view caption) override;
  void ShowRunProgress(int folders_done, int folder_count) override;

  // Runs `task` on the user-interface thread after everything shown so far.
  void Post(std::function<void()> task);

 private:
  // The state waiting to be shown; shared with the tasks posted, which may
  // run after this object is gone.
  struct Pending {
    std::mutex mutex;
    std::optional<std::string> guide;
    std::optional<std::string> count;
    std::optional<std::pair<int, int>> progress;
    // By list (source, destination); null when not changed.
    std::array<std::shared_ptr<const ListRows>, 2> lists;
    bool showing_posted = false;
    std::chrono::steady_clock::time_point last_shown;
    std::chrono::steady_clock::time_point last_list_shown;
  };
  // What a showing takes from the state.
  struct Taken;

  // Runs `show` on the user-interface thread, while the target is there,
  // and waits until it has run: a message is modal.
  void ShowModal(std::function<void(Display&)> show);
  // Changes the state under the lock and makes sure it is shown.
  template <typename Change>
  void ChangeState(Change change);
  // Posts a showing of the state to run after `wait`.
  static void PostShowing(Dispatcher& dispatcher,
                          const std::shared_ptr<Pending>& pending,
                          const std::weak_ptr<const bool>& alive,
                          Display& target,
                          std::chrono::steady_clock::duration wait);
  // On the user-interface thread: shows the state changed since it was
  // last shown; the lists too when `lists_due` or their frame has passed.
  static void ShowPending(Pending& pending, Display& target, bool lists_due);

  Dispatcher& dispatcher_;
  Display& target_;
  std::weak_ptr<const bool> alive_;
  std::shared_ptr<Pending> pending_ = std::make_shared<Pending>();
};

class BackgroundWork {
 public:
  using Work = std::function<void(Display&)>;
  using Finished = std::function<void()>;

  explicit BackgroundWork(Dispatcher& dispatcher) : dispatcher_(dispatcher) {}
  BackgroundWork(const BackgroundWork&) = delete;
  BackgroundWork& operator=(const BackgroundWork&) = delete;
  // Waits for unfinished work, handling the user-interface thread's tasks
  // meanwhile.
  ~BackgroundWork();

  // Starts `work` on a worker thread; its view calls reach `target` on the
  // user-interface thread, which must be the calling thread. `finished`
  // runs there once the work has ended and the worker is gone. Does
  // nothing while earlier work is active.
  void Start(Display& target, Work work, Finished finished);

  // True from Start until just before `finished` runs.
  bool Active() const { return active_; }

  // Handles the user-interface thread's tasks until the work has ended,
  // then lets the worker go; `finished` does not run.
  void Wait();

 private:
  void JoinWorker();

  Dispatcher& dispatcher_;
  // Expires with this object, so that calls still queued for the
  // user-interface thread then do nothing.
  std::shared_ptr<const bool> alive_ = std::make_shared<const bool>(true);
  std::thread worker_;
  std::atomic<bool> work_done_{false};
  bool active_ = false;
  bool waiting_ = false;  // inside Wait
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_BACKGROUND_WORK_H_
