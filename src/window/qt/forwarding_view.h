#ifndef CORDSHIFT_WINDOW_QT_FORWARDING_VIEW_H_
#define CORDSHIFT_WINDOW_QT_FORWARDING_VIEW_H_

// The view a conversion run on a worker thread talks to: every call is
// handed to the window's thread in the order it was made. Messages wait
// there until the user has acknowledged them; everything else is queued,
// so the run never waits for a repaint.

#include <array>
#include <string_view>

#include "wiring/conversion_view.h"

class QObject;

namespace cordshift {

class ForwardingView : public ConversionView {
 public:
  // `target` is called on the thread of `receiver`. `row_counts` are the
  // rows the two lists hold when the run starts (source, destination).
  ForwardingView(QObject& receiver, ConversionView& target,
                 std::array<int, 2> row_counts)
      : receiver_(receiver), target_(target), row_counts_(row_counts) {}

  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ClearList(ListId list) override;
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override;
  // Answered from the rows this view has forwarded, without waiting for
  // the window.
  int ListRowCount(ListId list) const override;
  void SetConvertedCount(std::string_view caption) override;

 private:
  static std::size_t Slot(ListId list) {
    return list == ListId::kSource ? 0 : 1;
  }

  QObject& receiver_;
  ConversionView& target_;
  std::array<int, 2> row_counts_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_FORWARDING_VIEW_H_
