#include "platform/executable.h"

#include <system_error>

#ifdef _WIN32
#include <windows.h>

#include <cstddef>
#include <string>
#endif

namespace cordshift {

#ifdef _WIN32

// The longest path that the wide-character file functions accept.
constexpr std::size_t kLongestPath = 32768;

std::filesystem::path ExecutablePath() {
  // The function cuts the path to the buffer without saying how long it is,
  // so the buffer grows until the path fits with room to spare.
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    const DWORD size = static_cast<DWORD>(buffer.size());
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) {
      buffer.resize(length);
      return std::filesystem::path(buffer);
    }
    if (buffer.size() >= kLongestPath) return {};
    buffer.resize(buffer.size() * 2);
  }
}

#else

std::filesystem::path ExecutablePath() {
  std::error_code error;
  std::filesystem::path path =
      std::filesystem::read_symlink("/proc/self/exe", error);
  if (error) return {};
  return path;
}

#endif

}  // namespace cordshift
