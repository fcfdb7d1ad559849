#include "batch/work_ahead.h"

#include <string>

namespace cordshift {

void DeferredView::ShowGuide(std::string_view text) {
  calls_.emplace_back([text = std::string(text)](ConversionView& view) {
    view.ShowGuide(text);
  });
}

void DeferredView::ShowMessage(std::string_view text, MessageIcon icon) {
  calls_.emplace_back([text = std::string(text), icon](ConversionView& view) {
    view.ShowMessage(text, icon);
  });
}

void DeferredView::ClearList(ListId list) {
  rows_[Slot(list)] = 0;
  calls_.emplace_back([list](ConversionView& view) { view.ClearList(list); });
}

void DeferredView::SetListCell(ListId list, int row, int column,
                               std::string_view text) {
  if (column == 1) ++rows_[Slot(list)];
  calls_.emplace_back(
      [list, row, column, text = std::string(text)](ConversionView& view) {
        view.SetListCell(list, row, column, text);
      });
}

int DeferredView::ListRowCount(ListId list) const { return rows_[Slot(list)]; }

void DeferredView::SetConvertedCount(std::string_view caption) {
  calls_.emplace_back([caption = std::string(caption)](ConversionView& view) {
    view.SetConvertedCount(caption);
  });
}

void DeferredView::ReportFile(const FileReport& report) {
  calls_.emplace_back(
      [report](ConversionView& view) { view.ReportFile(report); });
}

void DeferredView::ShowRunProgress(int folders_done, int folder_count) {
  calls_.emplace_back([folders_done, folder_count](ConversionView& view) {
    view.ShowRunProgress(folders_done, folder_count);
  });
}

bool DeferredView::StopRequested() const { return *abandoned_; }

void DeferredView::ShowOn(ConversionView& view) const {
  for (const auto& call : calls_) call(view);
}

}  // namespace cordshift
