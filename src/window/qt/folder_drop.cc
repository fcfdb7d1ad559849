#include "window/qt/folder_drop.h"

#include <QDir>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <QWidget>
#include <utility>

#include "window/qt/qt_text.h"

namespace cordshift {

std::optional<std::string> DroppedFolder(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  const QFileInfo info(urls.front().toLocalFile());
  if (!info.isDir()) return std::nullopt;
  return ToUtf8(QDir::toNativeSeparators(info.absoluteFilePath()));
}

FolderDropTarget::FolderDropTarget(QWidget& widget, Accepting accepting,
                                   Handler handler)
    : QObject(&widget),
      accepting_(std::move(accepting)),
      handler_(std::move(handler)) {
  widget.setAcceptDrops(true);
  widget.installEventFilter(this);
}

bool FolderDropTarget::eventFilter(QObject* /*watched*/, QEvent* event) {
  switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
      auto* drag = static_cast<QDragMoveEvent*>(event);
      if (accepting_() && DroppedFolder(drag->mimeData())) {
        drag->acceptProposedAction();
      } else {
        drag->ignore();
      }
      return true;
    }
    case QEvent::Drop: {
      auto* drop = static_cast<QDropEvent*>(event);
      const std::optional<std::string> folder = DroppedFolder(drop->mimeData());
      if (!accepting_() || !folder) {
        drop->ignore();
        return true;
      }
      drop->acceptProposedAction();
      handler_(*folder);
      return true;
    }
    default:
      return false;
  }
}

}  // namespace cordshift
