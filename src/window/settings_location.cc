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

SettingsPlace ChooseSettingsPlace(
    const fs::path& executable, const UserFolders& user,
    const std::function<bool(const fs::path&)>& writable) {
  const fs::path beside = SettingsFilePath(executable);
  if (writable(beside.parent_path())) {
    return {beside, DefaultDataFolder(executable)};
  }
  const fs::path own = user.settings / beside.filename();
  std::error_code ignored;
  fs::create_directories(user.settings, ignored);
  if (!fs::exists(own, ignored) && fs::is_regular_file(beside, ignored)) {
    fs::copy_file(beside, own, ignored);
  }
  const fs::path documents = user.documents ? user.documents() : fs::path();
  return {own, documents.empty() ? DefaultDataFolder(executable)
                                 : DocumentsDataFolder(documents)};
}

}  // namespace cordshift
