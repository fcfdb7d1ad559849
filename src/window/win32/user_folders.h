#ifndef CORDSHIFT_WINDOW_WIN32_USER_FOLDERS_H_
#define CORDSHIFT_WINDOW_WIN32_USER_FOLDERS_H_

// The user's folders as Windows names them: %APPDATA%\Cordshift for the
// settings of an installed program, and the user's Documents folder, which
// may have been moved elsewhere (to OneDrive, to a network share).

#include <filesystem>

#include "window/settings_location.h"

namespace cordshift {

// Empty when Windows names none.
std::filesystem::path DocumentsFolder();

UserFolders Win32UserFolders();

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WIN32_USER_FOLDERS_H_
