#ifndef CORDSHIFT_WINDOW_BACKGROUND_WORK_H_
#define CORDSHIFT_WINDOW_BACKGROUND_WORK_H_

// Runs one piece of work at a time on a worker thread. The work talks to a
// view whose calls are carried to the user-interface thread in their order,
// so that the window keeps repainting while files are read and written.

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>

#include "window/dispatcher.h"
#include "wiring/conversion_view.h"

namespace cordshift {

// The view the work on the worker thread talks to: every call is posted to
// the user-interface thread. Messages wait there until the user has
// acknowledged them; everything else is queued, so the work never waits for
// a repaint.
class ForwardingView : public ConversionView {
 public:
  // `row_counts` are the rows the two lists hold when the work starts
  // (source, destination). Calls that reach the user-interface thread
  // after `alive` has expired (the window is gone) are dropped.
  ForwardingView(Dispatcher& dispatcher, ConversionView& target,
                 std::array<int, 2> row_counts, std::weak_ptr<const bool> alive)
      : dispatcher_(dispatcher),
        target_(target),
        row_counts_(row_counts),
        alive_(std::move(alive)) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ClearList(ListId list) override;
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override;
  // Answered from the rows this view has forwarded, without waiting for
  // the window.
  int ListRowCount(ListId list) const override;
  void SetConvertedCount(std::string_view caption) override;
  void ShowRunProgress(int folders_done, int folder_count) override;

 private:
  static std::size_t Slot(ListId list) {
    return list == ListId::kSource ? 0 : 1;
  }
  // Posts a call of the target, dropped once the target is gone.
  template <typename Call>
  void Forward(Call call);

  Dispatcher& dispatcher_;
  ConversionView& target_;
  std::array<int, 2> row_counts_;
  std::weak_ptr<const bool> alive_;
};

class BackgroundWork {
 public:
  using Work = std::function<void(ConversionView&)>;
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
  void Start(ConversionView& target, std::array<int, 2> row_counts, Work work,
             Finished finished);

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
