#include "platform/wide_text.h"

#include <windows.h>

namespace cordshift {

std::string WideToUtf8(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int utf8_size = WideCharToMultiByte(CP_UTF8, 0, wide.data(), size,
                                            nullptr, 0, nullptr, nullptr);
  if (utf8_size <= 0) return {};
  std::string utf8(static_cast<std::size_t>(utf8_size), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), utf8_size,
                      nullptr, nullptr);
  return utf8;
}

std::wstring Utf8ToWide(std::string_view utf8) {
  if (utf8.empty()) return {};
  const int size = static_cast<int>(utf8.size());
  const int wide_size =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0);
  if (wide_size <= 0) return {};
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, wide.data(), wide_size);
  return wide;
}

}  // namespace cordshift
