#include "window/qt/forwarding_view.h"

#include <QMetaObject>
#include <QObject>
#include <string>
#include <utility>

namespace cordshift {
namespace {

// Calls queued for one receiver run in the order they were posted, so the
// window sees the run's calls in the run's order.
template <typename Call>
void Post(QObject& receiver, Call call) {
  QMetaObject::invokeMethod(&receiver, std::move(call), Qt::QueuedConnection);
}

template <typename Call>
void CallAndWait(QObject& receiver, Call call) {
  QMetaObject::invokeMethod(&receiver, std::move(call),
                            Qt::BlockingQueuedConnection);
}

}  // namespace

void ForwardingView::ShowGuide(std::string_view text) {
  Post(receiver_, [&target = target_, text = std::string(text)] {
    target.ShowGuide(text);
  });
}

void ForwardingView::ShowMessage(std::string_view text, MessageIcon icon) {
  CallAndWait(receiver_, [&target = target_, text = std::string(text), icon] {
    target.ShowMessage(text, icon);
  });
}

void ForwardingView::ClearList(ListId list) {
  row_counts_[Slot(list)] = 0;
  Post(receiver_, [&target = target_, list] { target.ClearList(list); });
}

void ForwardingView::SetListCell(ListId list, int row, int column,
                                 std::string_view text) {
  if (column == 1) ++row_counts_[Slot(list)];
  Post(receiver_,
       [&target = target_, list, row, column, text = std::string(text)] {
         target.SetListCell(list, row, column, text);
       });
}

int ForwardingView::ListRowCount(ListId list) const {
  return row_counts_[Slot(list)];
}

void ForwardingView::SetConvertedCount(std::string_view caption) {
  Post(receiver_, [&target = target_, caption = std::string(caption)] {
    target.SetConvertedCount(caption);
  });
}

}  // namespace cordshift
