#ifndef CORDSHIFT_WINDOW_QT_FOLDER_DROP_H_
#define CORDSHIFT_WINDOW_QT_FOLDER_DROP_H_

// Folders dragged from the file manager onto a folder caption or a list.

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QEvent;
class QMimeData;
class QWidget;

namespace cordshift {

// The local folder a drag carries, when it carries exactly one item and
// that item is an existing folder; files and several items are refused.
std::optional<std::string> DroppedFolder(const QMimeData* data);

// Accepts drops of a single folder on a widget and hands the folder on.
// Belongs to the widget it watches.
class FolderDropTarget : public QObject {
 public:
  using Accepting = std::function<bool()>;
  using Handler = std::function<void(const std::string& folder)>;

  // Watches `widget` (for an item view, its viewport). Drops are refused
  // while `accepting` says no.
  FolderDropTarget(QWidget& widget, Accepting accepting, Handler handler);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  Accepting accepting_;
  Handler handler_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_FOLDER_DROP_H_
