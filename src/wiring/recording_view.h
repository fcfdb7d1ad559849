#ifndef CORDSHIFT_WIRING_RECORDING_VIEW_H_
#define CORDSHIFT_WIRING_RECORDING_VIEW_H_

// A view that keeps everything it is told: the front end of the command line
// and of the tests.

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "wiring/conversion_view.h"

namespace cordshift {

struct RecordedMessage {
  std::string text;
  MessageIcon icon = MessageIcon::kExclamation;

  bool operator==(const RecordedMessage&) const = default;
};

class RecordingView : public ConversionView {
 public:
  using Row = std::vector<std::string>;

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ClearList(ListId list) override;
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override;
  int ListRowCount(ListId list) const override;
  void SetConvertedCount(std::string_view caption) override;
  void ReportFile(const FileReport& report) override;

  const std::vector<Row>& Rows(ListId list) const { return rows_[Slot(list)]; }
  const std::vector<std::string>& guides() const { return guides_; }
  const std::vector<RecordedMessage>& messages() const { return messages_; }
  const std::string& converted_count() const { return converted_count_; }
  const std::vector<FileReport>& reports() const { return reports_; }

 private:
  static std::size_t Slot(ListId list) {
    return list == ListId::kSource ? 0 : 1;
  }

  std::vector<std::string> guides_;
  std::vector<RecordedMessage> messages_;
  std::array<std::vector<Row>, 2> rows_;
  std::string converted_count_;
  std::vector<FileReport> reports_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_RECORDING_VIEW_H_
