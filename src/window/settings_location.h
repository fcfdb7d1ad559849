#ifndef CORDSHIFT_WINDOW_SETTINGS_LOCATION_H_
#define CORDSHIFT_WINDOW_SETTINGS_LOCATION_H_

// Where the window keeps its settings file: beside the executable, named
// after it, as the tester family expects; in the user's configuration
// folder when the executable's folder cannot be written (an installed
// program), and then the source and destination folders start in the
// user's documents rather than beside the program.

#include <filesystem>
#include <functional>
#include <string>

namespace cordshift {

// Whether files can be created in the folder. Decided by trying, and a
// folder whose mode grants no write permission to anyone counts as not
// writable even for a superuser, who would otherwise get past it.
bool IsWritableFolder(const std::filesystem::path& folder);

// The user's own folders, as the system names them.
struct UserFolders {
  // Where the settings go when they cannot stay beside the executable.
  std::filesystem::path settings;
  // The documents folder; empty when the system names none. Asked only
  // for a program that keeps its settings with the user's: finding it
  // loads a part of the system that a portable start can do without.
  std::function<std::filesystem::path()> documents;
};

// Where the settings are kept, and which folder the source and destination
// folder start as when the file does not name them.
struct SettingsPlace {
  std::filesystem::path settings_file;
  std::string default_data_folder;
};

// The settings file beside `executable`, named after it, and the default
// folders there too, when its folder can be written (a portable copy).
// Otherwise the file of the same name in the user's settings folder, which
// is created and starts as a copy of the file beside the executable when
// that exists and the user has none yet; and the default folders below the
// user's documents, where a user without administrative rights can write.
SettingsPlace ChooseSettingsPlace(
    const std::filesystem::path& executable, const UserFolders& user,
    const std::function<bool(const std::filesystem::path&)>& writable =
        IsWritableFolder);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_SETTINGS_LOCATION_H_
