#include "present/recording_display.h"

#include <utility>

namespace cordshift {

void RecordingDisplay::ShowGuide(std::string_view text) {
  guides_.emplace_back(text);
}

void RecordingDisplay::ShowMessage(std::string_view text, MessageIcon icon) {
  messages_.push_back({std::string(text), icon});
}

void RecordingDisplay::ShowList(ListId list,
                                std::shared_ptr<const ListRows> rows) {
  lists_[Slot(list)] = std::move(rows);
}

void RecordingDisplay::SetConvertedCount(std::string_view caption) {
  converted_count_ = caption;
}

void RecordingDisplay::ReportFile(const FileReport& report) {
  reports_.push_back(report);
}

std::vector<RecordingDisplay::Row> RecordingDisplay::Rows(ListId list) const {
  const ListRows& shown = List(list);
  std::vector<Row> rows;
  rows.reserve(static_cast<std::size_t>(shown.size()));
  for (int index = 0; index < shown.size(); ++index) {
    const auto cells = shown.Cells(index);
    rows.emplace_back(cells.begin(), cells.end());
  }
  return rows;
}

}  // namespace cordshift
