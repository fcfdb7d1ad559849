#ifndef CORDSHIFT_WINDOW_BACKGROUND_WORK_H_
#define CORDSHIFT_WINDOW_BACKGROUND_WORK_H_

// Runs one piece of work at a time on a worker thread. The work talks to a
// view whose calls are carried to the user-interface thread in their order,
// so that the window keeps repainting while files are read and written.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "present/display.h"
#include "window/dispatcher.h"

namespace cordshift {

// The display the work on the worker thread talks to: every call is posted
// to the user-interface thread. Messages wait there until the user has
// acknowledged them; everything else is queued, so the work never waits for
// a repaint.
class ForwardingDisplay : public Display {
 public:
  // Calls that reach the user-interface thread after `alive` has expired
  // (the window is gone) are dropped.
  ForwardingDisplay(Dispatcher& dispatcher, Display& target,
                    std::weak_ptr<const bool> alive)
      : dispatcher_(dispatcher), target_(target), alive_(std::move(alive)) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override;
  void SetConvertedCount(std::string_view caption) override;
  void ShowRunProgress(int folders_done, int folder_count) override;

 private:
  // Posts a call of the target, dropped once the target is gone.
  template <typename Call>
  void Forward(Call call);

  Dispatcher& dispatcher_;
  Display& target_;
  std::weak_ptr<const bool> alive_;
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
