#ifndef CORDSHIFT_TESTS_SUPPORT_SJIS_SAMPLES_H_
#define CORDSHIFT_TESTS_SUPPORT_SJIS_SAMPLES_H_

// Shift-JIS characters whose trail bytes look like ASCII, the ones that
// byte-wise text handling gets wrong.

#include <initializer_list>
#include <string>
#include <string_view>

namespace cordshift::testing {

// ヂ and ア differ only in a trail byte that looks like "a" and "A": a
// byte-wise toupper turns ヂ into ア.
inline constexpr std::string_view kDi = "\x83\x61";
inline constexpr std::string_view kA = "\x83\x41";
// ソ and 表 have the trail byte 0x5C, a "\"; ゾ has 0x5D, a "]".
inline constexpr std::string_view kSo = "\x83\x5C";
inline constexpr std::string_view kHyo = "\x95\x5C";
inline constexpr std::string_view kZo = "\x83\x5D";
inline constexpr std::string_view kIdeographicSpace = "\x81\x40";

inline std::string Cat(std::initializer_list<std::string_view> parts) {
  std::string text;
  for (std::string_view part : parts) text += part;
  return text;
}

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_SJIS_SAMPLES_H_
