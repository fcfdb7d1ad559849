#ifndef CORDSHIFT_WINDOW_QT_QT_WINDOW_DIALOGS_H_
#define CORDSHIFT_WINDOW_QT_QT_WINDOW_DIALOGS_H_

// The real dialogs of the Qt window: QMessageBox and the toolkit's folder
// chooser, both modal to the window that owns them.

#include <string>
#include <string_view>

#include "window/window_dialogs.h"

class QWidget;

namespace cordshift {

class QtWindowDialogs : public WindowDialogs {
 public:
  // The window the dialogs belong to; set once it exists.
  void SetOwner(QWidget* owner) { owner_ = owner; }

  void ShowMessage(std::string_view text, MessageIcon icon) override;
  std::string BrowseForFolder(std::string_view prompt,
                              std::string_view start_folder) override;

 private:
  QWidget* owner_ = nullptr;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_QT_WINDOW_DIALOGS_H_
