#include "window/win32/user_folders.h"

#include <windows.h>

// Declared with the types of windows.h.
#include <knownfolders.h>
#include <shlobj.h>

#include <cstdlib>

namespace cordshift {

std::filesystem::path DocumentsFolder() {
  PWSTR path = nullptr;
  std::filesystem::path documents;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_Documents, KF_FLAG_DEFAULT,
                                     nullptr, &path))) {
    documents = path;
  }
  // Freed whatever the outcome, as the call asks.
  CoTaskMemFree(path);
  return documents;
}

UserFolders Win32UserFolders() {
  const wchar_t* appdata = _wgetenv(L"APPDATA");
  return {
      std::filesystem::path(appdata != nullptr ? appdata : L".") / L"Cordshift",
      &DocumentsFolder};
}

}  // namespace cordshift
