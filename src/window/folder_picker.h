#ifndef CORDSHIFT_WINDOW_FOLDER_PICKER_H_
#define CORDSHIFT_WINDOW_FOLDER_PICKER_H_

// The folder picker behind the two 参照 buttons: opens the folder browser on
// the current folder and keeps the folder variable ending in a separator.

#include <string>
#include <string_view>

#include "window/window_dialogs.h"

namespace cordshift {

// The folder the browser opens on: the folder without its final separator,
// except a root, which keeps it.
std::string StartFolderForBrowser(std::string_view folder);

class FolderPicker {
 public:
  explicit FolderPicker(WindowDialogs& dialogs) : dialogs_(dialogs) {}

  // Lets the user choose a new value for `folder` (the source or the
  // destination folder). An empty folder starts from `source_folder`. On a
  // cancel `folder` keeps its value and FolderPicked() is false.
  void ChooseFolder(std::string_view prompt, std::string& folder,
                    const std::string& source_folder);

  // The browser's answer: a folder without a final separator (except a
  // root), or empty text.
  std::string BrowseForFolder(std::string_view prompt,
                              std::string_view start_folder);

  // The outcome of the last ChooseFolder.
  bool FolderPicked() const { return folder_picked_; }
  const std::string& PickerStartFolder() const { return picker_start_folder_; }

 private:
  WindowDialogs& dialogs_;
  std::string picker_start_folder_;
  bool folder_picked_ = false;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_FOLDER_PICKER_H_
