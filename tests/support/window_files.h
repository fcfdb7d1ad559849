#ifndef CORDSHIFT_TESTS_SUPPORT_WINDOW_FILES_H_
#define CORDSHIFT_TESTS_SUPPORT_WINDOW_FILES_H_

// The files a window test starts from: a temporary folder in which the
// program is installed as bin/Cordshift, with its settings file beside it.

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "support/temp_folder.h"

namespace cordshift::testing {

class WindowFilesTest : public ::testing::Test {
 protected:
  std::filesystem::path Executable() const { return temp_ / "bin/Cordshift"; }
  std::filesystem::path SettingsFile() const {
    return temp_ / "bin/Cordshift.ini";
  }
  // A folder path as the settings keep it, with its final separator.
  std::string Folder(std::string_view name) const {
    return WithTrailingSeparator((temp_ / name).string());
  }

  // Writes the settings file from its lines (ASCII), CR LF ended.
  void WriteSettings(const std::vector<std::string>& lines) const {
    std::string bytes;
    for (const auto& line : lines) bytes += line + "\r\n";
    WriteBytes(SettingsFile(), bytes);
  }

  // Settings with both folders in the temporary folder.
  void WriteFolderSettings(const std::string& direction,
                           const std::string& notation = "0") const {
    WriteSettings({"[Path]", "SrcDir=" + Folder("src"),
                   "DstDir=" + Folder("dst"), "[Direction]",
                   "Hp2Lv=" + direction, "ABorSeq=" + notation});
  }

  std::optional<std::string> Stored(std::string_view section,
                                    std::string_view key) const {
    return ReadIniValue(SettingsFile(), section, key);
  }

  TempFolder temp_;
};

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_WINDOW_FILES_H_
