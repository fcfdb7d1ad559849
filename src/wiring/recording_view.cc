#include "wiring/recording_view.h"

#include <stdexcept>

namespace cordshift {

void RecordingView::ShowGuide(std::string_view text) {
  guides_.emplace_back(text);
}

void RecordingView::ShowMessage(std::string_view text, MessageIcon icon) {
  messages_.push_back({std::string(text), icon});
}

void RecordingView::ClearList(ListId list) { rows_[Slot(list)].clear(); }

void RecordingView::SetListCell(ListId list, int row, int column,
                                std::string_view text) {
  std::vector<Row>& rows = rows_[Slot(list)];
  if (column == 1) {
    rows.push_back(Row{std::string(text)});
    return;
  }
  // Like a list view, a sub-item can only be added to an existing row.
  if (row < 1 || static_cast<std::size_t>(row) > rows.size()) {
    throw std::out_of_range("list row does not exist");
  }
  rows[static_cast<std::size_t>(row - 1)].emplace_back(text);
}

int RecordingView::ListRowCount(ListId list) const {
  return static_cast<int>(rows_[Slot(list)].size());
}

void RecordingView::SetConvertedCount(std::string_view caption) {
  converted_count_ = caption;
}

void RecordingView::ReportFile(const FileReport& report) {
  reports_.push_back(report);
}

}  // namespace cordshift
