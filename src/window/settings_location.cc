#include "window/settings_location.h"

#include <unistd.h>

#include <fstream>
#include <string>
#include <system_error>

#include "platform/text_file.h"
#include "settings/settings.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;

bool ModeAllowsWriting(const fs::path& folder) {
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);
  if (error || !fs::is_directory(status)) return false;
  constexpr fs::perms kAnyWrite =
      fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write;
  return (status.permissions() & kAnyWrite) != fs::perms::none;
}

bool CanCreateFileIn(const fs::path& folder) {
  const fs::path probe = folder / (std::string(kTempFilePrefix) + "probe-" +
                                   std::to_string(::getpid()));
  bool created = false;
  {
    std::ofstream out(probe, std::ios::binary | std::ios::trunc);
    created = out.is_open();
  }
  std::error_code ignored;
  fs::remove(probe, ignored);
  return created;
}

}  // namespace

bool IsWritableFolder(const fs::path& folder) {
  return ModeAllowsWriting(folder) && CanCreateFileIn(folder);
}

fs::path ChooseSettingsFile(const fs::path& executable,
                            const fs::path& user_folder) {
  const fs::path beside = SettingsFilePath(executable);
  if (IsWritableFolder(beside.parent_path())) return beside;
  const fs::path own = user_folder / beside.filename();
  std::error_code ignored;
  fs::create_directories(user_folder, ignored);
  if (!fs::exists(own, ignored) && fs::is_regular_file(beside, ignored)) {
    fs::copy_file(beside, own, ignored);
  }
  return own;
}

}  // namespace cordshift
