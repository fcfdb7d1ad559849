#include "cli/progress_view.h"

#include "cli/text_report.h"
#include "present/reasons.h"

namespace cordshift {

void ProgressView::ShowGuide(std::string_view text) {
  RecordingDisplay::ShowGuide(text);
  // Flushed per line: a run can take long and its output may be piped.
  if (progress_ != nullptr) *progress_ << TerminalText(text) << std::endl;
}

void ProgressView::ShowMessage(std::string_view text, MessageIcon icon) {
  RecordingDisplay::ShowMessage(text, icon);
  if (progress_ != nullptr) {
    *progress_ << IconWord(icon) << ": " << TerminalText(text) << std::endl;
  }
}

void ProgressView::ReportFile(const FileReport& report) {
  RecordingDisplay::ReportFile(report);
  if (progress_ == nullptr) return;
  if (report.outcome == FileOutcome::kFault) {
    *progress_ << "fault: " << TerminalText(report.source) << ": "
               << TerminalText(FaultDetail(*report.fault)) << std::endl;
  } else if (report.outcome == FileOutcome::kSkippedSameName) {
    // The window shows nothing for it, and a file left out must not pass
    // unnoticed.
    *progress_ << "skipped: " << TerminalText(report.source) << ": "
               << TerminalText(report.destination)
               << " was written from another file of the same name in this "
                  "run"
               << std::endl;
  }
}

bool ProgressView::StopRequested() const {
  return interrupts_ != nullptr && interrupts_->Signal() != 0;
}

}  // namespace cordshift
