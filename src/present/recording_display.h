#ifndef CORDSHIFT_PRESENT_RECORDING_DISPLAY_H_
#define CORDSHIFT_PRESENT_RECORDING_DISPLAY_H_

// A display that keeps everything it is shown: the command line's window
// (it reports what it kept when the work is done) and the tests'.

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "present/display.h"

namespace cordshift {

struct RecordedMessage {
  std::string text;
  MessageIcon icon = MessageIcon::kExclamation;

  bool operator==(const RecordedMessage&) const = default;
};

class RecordingDisplay : public Display {
 public:
  using Row = std::vector<std::string>;

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override;
  void SetConvertedCount(std::string_view caption) override;
  void ReportFile(const FileReport& report) override;

  // The rows a list shows now, cell by cell.
  std::vector<Row> Rows(ListId list) const;
  const ListRows& List(ListId list) const { return *lists_[Slot(list)]; }
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
  std::array<std::shared_ptr<const ListRows>, 2> lists_ = {
      std::make_shared<const ListRows>(), std::make_shared<const ListRows>()};
  std::string converted_count_;
  std::vector<FileReport> reports_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_PRESENT_RECORDING_DISPLAY_H_
