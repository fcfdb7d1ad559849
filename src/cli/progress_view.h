#ifndef CORDSHIFT_CLI_PROGRESS_VIEW_H_
#define CORDSHIFT_CLI_PROGRESS_VIEW_H_

// The command line's window: keeps everything like the recording view and,
// when given a progress stream, also prints each guidance text and message
// the moment it is shown, so that a long run shows where it is.

#include <ostream>
#include <string_view>

#include "cli/interrupt.h"
#include "present/recording_display.h"

namespace cordshift {

class ProgressView : public RecordingDisplay {
 public:
  // `progress` may be null: the view then only records. With `interrupts`,
  // a signal recorded there asks the run to stop.
  explicit ProgressView(std::ostream* progress,
                        const InterruptWatch* interrupts = nullptr)
      : progress_(progress), interrupts_(interrupts) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  // A fault is printed with the file it concerns, which the window's
  // messages do not name.
  void ReportFile(const FileReport& report) override;
  bool StopRequested() const override;

 private:
  std::ostream* progress_;
  const InterruptWatch* interrupts_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_PROGRESS_VIEW_H_
