#ifndef CORDSHIFT_BATCH_WORK_AHEAD_H_
#define CORDSHIFT_BATCH_WORK_AHEAD_H_

// Work done on another thread ahead of its turn, such as listing the next
// folder of a run while the current one is converted, and the view that
// keeps what such work shows until its turn comes.

#include <array>
#include <atomic>
#include <functional>
#include <future>
#include <string_view>
#include <utility>
#include <vector>

#include "wiring/conversion_view.h"

namespace cordshift {

// A view that keeps everything it is shown, in order, to show it on another
// view later. It asks to stop once the work it serves is no longer wanted.
class DeferredView : public ConversionView {
 public:
  explicit DeferredView(const std::atomic<bool>& abandoned)
      : abandoned_(&abandoned) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ClearList(ListId list) override;
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override;
  int ListRowCount(ListId list) const override;
  void SetConvertedCount(std::string_view caption) override;
  void ReportFile(const FileReport& report) override;
  void ShowRunProgress(int folders_done, int folder_count) override;
  bool StopRequested() const override;

  // Shows everything kept on `view`, in the order it was shown here.
  void ShowOn(ConversionView& view) const;

 private:
  static std::size_t Slot(ListId list) {
    return list == ListId::kSource ? 0 : 1;
  }

  std::vector<std::function<void(ConversionView&)>> calls_;
  std::array<int, 2> rows_{};
  const std::atomic<bool>* abandoned_;
};

// One piece of work at a time, run on a thread of its own. The work is
// handed a flag that is set when its result is no longer wanted, so that it
// can end early; the result is then dropped.
template <typename Result>
class WorkAhead {
 public:
  using Work = std::function<Result(const std::atomic<bool>& abandoned)>;

  WorkAhead() = default;
  ~WorkAhead() { Abandon(); }
  WorkAhead(const WorkAhead&) = delete;
  WorkAhead& operator=(const WorkAhead&) = delete;

  // Starts `work`; any earlier work is abandoned first.
  void Start(Work work) {
    Abandon();
    abandoned_ = false;
    result_ = std::async(std::launch::async, [this, work = std::move(work)] {
      return work(abandoned_);
    });
  }

  bool started() const { return result_.valid(); }

  // Waits for the work started last and hands over its result; an
  // exception of the work is thrown here.
  Result Take() { return result_.get(); }

  // Tells the work that its result is not wanted and waits for it to end.
  void Abandon() {
    if (!result_.valid()) return;
    abandoned_ = true;
    result_.wait();
    result_ = {};
  }

 private:
  std::atomic<bool> abandoned_{false};
  std::future<Result> result_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_WORK_AHEAD_H_
