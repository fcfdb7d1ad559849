#include "cli/progress_view.h"

#include "cli/text_report.h"

namespace cordshift {

void ProgressView::ShowGuide(std::string_view text) {
  RecordingView::ShowGuide(text);
  // Flushed per line: a run can take long and its output may be piped.
  if (progress_ != nullptr) *progress_ << text << std::endl;
}

void ProgressView::ShowMessage(std::string_view text, MessageIcon icon) {
  RecordingView::ShowMessage(text, icon);
  if (progress_ != nullptr) {
    *progress_ << IconWord(icon) << ": " << text << std::endl;
  }
}

void ProgressView::ReportFile(const FileReport& report) {
  RecordingView::ReportFile(report);
  if (progress_ != nullptr && report.outcome == FileOutcome::kFault) {
    *progress_ << "fault: " << report.source << ": " << report.detail
               << std::endl;
  }
}

}  // namespace cordshift
