// Code page 932 conversions and the Shift-JIS helpers. The input is read
// both as code page 932 bytes and as UTF-8 text.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/codepage.h"
#include "platform/sjis.h"

namespace cordshift::fuzz {
namespace {

// Decoding and encoding again settles on one spelling: code page 932 has
// two codes for some characters (the NEC and IBM rows), so the bytes may
// change once, but the text never does.
void CheckCp932Bytes(std::string_view bytes) {
  const std::string lossy = Cp932ToUtf8Lossy(bytes);
  Require(IsValidUtf8(lossy), "the lossy text is UTF-8");
  const std::optional<std::string> utf8 = Cp932ToUtf8(bytes);
  if (!utf8) return;
  Require(IsValidUtf8(*utf8), "decoded text is UTF-8");
  Require(lossy == *utf8, "valid bytes show without escapes");
  const std::optional<std::string> encoded = Utf8ToCp932(*utf8);
  Require(encoded.has_value(), "every decoded text encodes again");
  Require(Cp932ToUtf8(*encoded) == utf8, "the text survives a round trip");
  Require(SjisCharCount(*encoded) == SjisCharCount(bytes),
          "a round trip keeps the number of characters");
}

void CheckUtf8Text(std::string_view text) {
  const std::optional<std::string> encoded = Utf8ToCp932(text);
  Require(IsCp932Representable(text) == encoded.has_value(),
          "IsCp932Representable agrees with Utf8ToCp932");
  if (!encoded) return;
  Require(IsValidUtf8(text), "only UTF-8 text encodes");
  Require(Cp932ToUtf8(*encoded) == text, "an encoded text decodes back");
}

void CheckSjisHelpers(std::string_view text) {
  const std::size_t count = SjisCharCount(text);
  Require(count <= text.size() && 2 * count >= text.size(),
          "characters are one or two bytes");
  Require(SjisCharOffset(text, count) == text.size(),
          "the offset after the last character is the end");
  std::size_t pos = 0;
  for (std::size_t i = 0; i < count; ++i) {
    Require(SjisCharOffset(text, i) == pos, "offsets follow the lengths");
    pos += SjisCharLength(text, pos);
  }
  const std::string upper = SjisToUpper(text);
  Require(upper.size() == text.size() && SjisCharCount(upper) == count,
          "upper-casing keeps every character's length");
  Require(SjisToUpper(upper) == upper, "upper-casing twice changes nothing");
  if (count > 0) {
    const std::string_view rest = SjisDropFirstChar(text);
    Require(SjisCharCount(rest) == count - 1, "dropping one character");
    Require(SjisSubstr(text, 1, count) == rest, "the rest is a substring");
  }
  const std::string_view trimmed = TrimBlanks(text);
  Require(
      trimmed.empty() || (trimmed.front() != ' ' && trimmed.front() != '\t' &&
                          trimmed.back() != ' ' && trimmed.back() != '\t'),
      "no blank stays at either end");
}

}  // namespace
}  // namespace cordshift::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  namespace fuzz = cordshift::fuzz;
  const std::string_view text = fuzz::AsText(data, size);
  fuzz::CheckCp932Bytes(text);
  fuzz::CheckUtf8Text(text);
  fuzz::CheckSjisHelpers(text);
  return 0;
}
