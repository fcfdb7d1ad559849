#ifndef CORDSHIFT_WINDOW_SETTINGS_LOCATION_H_
#define CORDSHIFT_WINDOW_SETTINGS_LOCATION_H_

// Where the window keeps its settings file: beside the executable, named
// after it, as the tester family expects; in the user's configuration
// folder when the executable's folder cannot be written (an installed
// program).

#include <filesystem>

namespace cordshift {

// Whether files can be created in the folder. Decided by trying, and a
// folder whose mode grants no write permission to anyone counts as not
// writable even for a superuser, who would otherwise get past it.
bool IsWritableFolder(const std::filesystem::path& folder);

// The settings file beside `executable` when its folder is writable;
// otherwise the file of the same name in `user_folder`, which is created,
// and which starts as a copy of the file beside the executable when that
// exists and the user has none yet.
std::filesystem::path ChooseSettingsFile(
    const std::filesystem::path& executable,
    const std::filesystem::path& user_folder);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_SETTINGS_LOCATION_H_
