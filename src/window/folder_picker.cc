#include "window/folder_picker.h"

#include <filesystem>

#include "platform/folder_path.h"
#include "platform/text_file.h"

namespace cordshift {

std::string StartFolderForBrowser(std::string_view folder) {
  std::string start(folder);
  const bool is_root = PathFromUtf8(start).relative_path().empty();
  if (EndsWithSeparator(start) && !is_root) start.pop_back();
  return start;
}

void FolderPicker::ChooseFolder(std::string_view prompt, std::string& folder,
                                const std::string& source_folder) {
  if (folder.empty()) folder = source_folder;
  const std::string remembered = folder;
  folder_picked_ = false;
  const std::string chosen = BrowseForFolder(prompt, folder);
  if (chosen.empty()) {
    folder = remembered;
    return;
  }
  folder = WithTrailingSeparator(chosen);
  folder_picked_ = true;
}

std::string FolderPicker::BrowseForFolder(std::string_view prompt,
                                          std::string_view start_folder) {
  picker_start_folder_ = StartFolderForBrowser(start_folder);
  return dialogs_.BrowseForFolder(prompt, picker_start_folder_);
}

}  // namespace cordshift
