#include "platform/codepage.h"

#include <cstddef>
#include <cstdio>

#include "platform/sjis.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <iconv.h>

#include <cerrno>
#endif

namespace cordshift {
namespace {

void AppendByteEscape(std::string& out, unsigned char byte) {
  char escape[5];
  std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(byte));
  out.append(escape, 4);
}

// Escapes the character at the start of `rest` that could not be converted
// and returns its length. A lead byte and its trail byte are escaped together,
// so that a trail byte such as 0x5C is not shown as a backslash of its own.
std::size_t AppendInvalidCharEscape(std::string& out, std::string_view rest) {
  const std::size_t length = SjisCharLength(rest, 0);
  for (std::size_t i = 0; i < length; ++i) {
    AppendByteEscape(out, static_cast<unsigned char>(rest[i]));
  }
  return length;
}

#ifdef _WIN32

constexpr UINT kCp932 = 932;

std::optional<std::wstring> MultiByteToWide(UINT code_page,
                                            std::string_view text) {
  if (text.empty()) return std::wstring();
  const int size = static_cast<int>(text.size());
  const int wide_size = MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS,
                                            text.data(), size, nullptr, 0);
  if (wide_size <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wide_size), L'\0');
  if (MultiByteToWideChar(code_page, MB_ERR_INVALID_CHARS, text.data(), size,
                          wide.data(), wide_size) != wide_size) {
    return std::nullopt;
  }
  return wide;
}

std::optional<std::string> WideToUtf8(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int utf8_size =
      WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size,
                          nullptr, 0, nullptr, nullptr);
  if (utf8_size <= 0) return std::nullopt;
  std::string utf8(static_cast<std::size_t>(utf8_size), '\0');
  if (WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, wide.data(), size,
                          utf8.data(), utf8_size, nullptr,
                          nullptr) != utf8_size) {
    return std::nullopt;
  }
  return utf8;
}

// Best-fit mapping is off and any use of the default character is a failure,
// so that a character without its own code is refused rather than replaced.
std::optional<std::string> WideToCp932(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  BOOL used_default = FALSE;
  const int cp932_size =
      WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                          nullptr, 0, nullptr, &used_default);
  if (cp932_size <= 0 || used_default) return std::nullopt;
  std::string cp932(static_cast<std::size_t>(cp932_size), '\0');
  if (WideCharToMultiByte(kCp932, WC_NO_BEST_FIT_CHARS, wide.data(), size,
                          cp932.data(), cp932_size, nullptr,
                          &used_default) != cp932_size ||
      used_default) {
    return std::nullopt;
  }
  return cp932;
}

// The system's table passes some single bytes through as placeholders
// (0x80 as U+0080) although they stand for no character of the code page.
// They are refused, as the other platforms refuse them, so that a file
// reads the same everywhere.
bool HasPlaceholderByte(std::string_view cp932) {
  for (std::size_t pos = 0; pos < cp932.size();) {
    const std::size_t length = SjisCharLength(cp932, pos);
    const auto byte = static_cast<unsigned char>(cp932[pos]);
    if (length == 1 && (byte == 0x80 || byte == 0xA0 || byte >= 0xFD)) {
      return true;
    }
    pos += length;
  }
  return false;
}

std::optional<std::string> DecodeCp932(std::string_view cp932) {
  if (HasPlaceholderByte(cp932)) return std::nullopt;
  const std::optional<std::wstring> wide = MultiByteToWide(kCp932, cp932);
  if (!wide) return std::nullopt;
  return WideToUtf8(*wide);
}

std::optional<std::string> EncodeCp932(std::string_view utf8) {
  const std::optional<std::wstring> wide = MultiByteToWide(CP_UTF8, utf8);
  if (!wide) return std::nullopt;
  return WideToCp932(*wide);
}

// The system converts whole texts only, so the lossy form goes character by
// character.
std::string DecodeCp932Lossy(std::string_view cp932) {
  std::string out;
  std::size_t pos = 0;
  while (pos < cp932.size()) {
    const std::size_t length = SjisCharLength(cp932, pos);
    const std::optional<std::string> decoded =
        DecodeCp932(cp932.substr(pos, length));
    if (decoded) {
      out += *decoded;
      pos += length;
    } else {
      pos += AppendInvalidCharEscape(out, cp932.substr(pos));
    }
  }
  return out;
}

#else  // !_WIN32

// glibc's "SHIFT_JIS" is JIS X 0208 proper: it reads 0x5C as a yen sign and
// lacks the NEC and IBM rows, so the Windows table is asked for by name.
constexpr const char* kCp932Name = "CP932";
constexpr const char* kUtf8Name = "UTF-8";

class Iconv {
 public:
  Iconv(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Iconv() {
    if (IsOpen()) iconv_close(cd_);
  }
  Iconv(const Iconv&) = delete;
  Iconv& operator=(const Iconv&) = delete;

  bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of `input` as is valid, appending to `out`, and returns
  // the number of bytes consumed; input.size() when all of it converted.
  std::size_t ConvertPrefix(std::string_view input, std::string& out) {
    iconv(cd_, nullptr, nullptr, nullptr, nullptr);
    // iconv takes a non-const input pointer but never writes through it.
    char* in = const_cast<char*>(input.data());
    std::size_t in_left = input.size();
    char buffer[1024];
    while (in_left > 0) {
      char* buffer_end = buffer;
      std::size_t buffer_left = sizeof buffer;
      const std::size_t result =
          iconv(cd_, &in, &in_left, &buffer_end, &buffer_left);
      const int error = errno;
      out.append(buffer, static_cast<std::size_t>(buffer_end - buffer));
      if (result != static_cast<std::size_t>(-1)) break;
      if (error != E2BIG) break;
    }
    return input.size() - in_left;
  }

 private:
  iconv_t cd_;
};

std::optional<std::string> ConvertWhole(const char* to, const char* from,
                                        std::string_view input) {
  Iconv converter(to, from);
  if (!converter.IsOpen()) return std::nullopt;
  std::string out;
  if (converter.ConvertPrefix(input, out) != input.size()) return std::nullopt;
  return out;
}

std::optional<std::string> DecodeCp932(std::string_view cp932) {
  return ConvertWhole(kUtf8Name, kCp932Name, cp932);
}

std::optional<std::string> EncodeCp932(std::string_view utf8) {
  return ConvertWhole(kCp932Name, kUtf8Name, utf8);
}

std::string DecodeCp932Lossy(std::string_view cp932) {
  Iconv converter(kUtf8Name, kCp932Name);
  std::string out;
  std::string_view rest = cp932;
  while (!rest.empty()) {
    if (converter.IsOpen())
      rest.remove_prefix(converter.ConvertPrefix(rest, out));
    if (!rest.empty()) rest.remove_prefix(AppendInvalidCharEscape(out, rest));
  }
  return out;
}

#endif  // _WIN32

}  // namespace

std::optional<std::string> Cp932ToUtf8(std::string_view cp932) {
  return DecodeCp932(cp932);
}

// The encoder maps some characters to a code that stands for another
// character (a yen sign to 0x5C, which is a backslash in file paths), so only
// a text that reads back unchanged counts as converted.
std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
  std::optional<std::string> cp932 = EncodeCp932(utf8);
  if (!cp932) return std::nullopt;
  const std::optional<std::string> back = DecodeCp932(*cp932);
  if (!back || *back != utf8) return std::nullopt;
  return cp932;
}

bool IsCp932Representable(std::string_view utf8) {
  return Utf8ToCp932(utf8).has_value();
}

std::string Cp932ToUtf8Lossy(std::string_view cp932) {
  return DecodeCp932Lossy(cp932);
}

}  // namespace cordshift
