// The INI reader and writer: reads a key, sets it, reads it back, and checks
// that the write changed one line only, through the text functions and
// through a file.
//
// Input: section "\0" key "\0" value "\0" INI content.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/ini_file.h"
#include "platform/sjis.h"

namespace cordshift::fuzz {
namespace {

constexpr std::string_view kNul{"\0", 1};

bool HasLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// Where a line may be inserted: after a line end (the INI reader ends lines
// at CR LF, a lone CR and a lone LF) or at the end of the text.
bool IsInsertionPoint(std::string_view text, std::size_t pos) {
  if (pos == text.size()) return true;
  return pos > 0 && (text[pos - 1] == '\n' ||
                     (text[pos - 1] == '\r' && text[pos] != '\n'));
}

std::size_t CommonPrefix(std::string_view a, std::string_view b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() && a[n] == b[n]) ++n;
  return n;
}

std::size_t CommonSuffix(std::string_view a, std::string_view b) {
  std::size_t n = 0;
  while (n < a.size() && n < b.size() &&
         a[a.size() - 1 - n] == b[b.size() - 1 - n]) {
    ++n;
  }
  return n;
}

// `after` is `before` with text inserted at one line start (a new key line
// or a new section).
bool IsInsertionAtLineStart(std::string_view before, std::string_view after) {
  if (after.size() < before.size()) return false;
  const std::size_t prefix = CommonPrefix(before, after);
  const std::size_t suffix = CommonSuffix(before, after);
  // Every split point with before[0, split) kept in front and the rest of
  // `before` kept at the end.
  const std::size_t lowest = before.size() - std::min(suffix, before.size());
  for (std::size_t split = lowest; split <= std::min(prefix, before.size());
       ++split) {
    if (IsInsertionPoint(before, split)) return true;
  }
  return false;
}

// `after` is `before` with the text of one line replaced, its line end and
// every other byte kept.
bool IsOneLineReplaced(std::string_view before, std::string_view after) {
  const std::size_t prefix = CommonPrefix(before, after);
  const std::size_t suffix = CommonSuffix(before, after);
  // Some split before = A X C, after = A Y C with X free of line breaks.
  // The longest kept front and end leave the smallest changed middle.
  const std::size_t front = prefix;
  const std::size_t end =
      std::min({suffix, before.size() - front, after.size() - front});
  const std::string_view removed =
      before.substr(front, before.size() - front - end);
  return !HasLineBreak(removed) &&
         !HasLineBreak(after.substr(front, after.size() - front - end));
}

bool EndsWithLoneLeadByte(std::string_view text) {
  std::size_t pos = 0;
  std::size_t last = 0;
  while (pos < text.size()) {
    last = pos;
    pos += SjisCharLength(text, pos);
  }
  return !text.empty() && pos - last == 1 &&
         IsSjisLeadByte(static_cast<unsigned char>(text[last]));
}

// Names that an INI text can hold: the header "[section]" reads back as a
// header of that name and "key=value" as a line of that key.
bool IsWritableName(std::string_view section, std::string_view key) {
  const std::string_view s = TrimBlanks(section);
  const std::string_view k = TrimBlanks(key);
  return !HasLineBreak(s) && !EndsWithLoneLeadByte(s) && !HasLineBreak(k) &&
         k.find('=') == std::string_view::npos &&
         (k.empty() || (k.front() != ';' && k.front() != '['));
}

void CheckFileRoundTrip(std::string_view content, std::string_view section,
                        std::string_view key, std::string_view value,
                        const std::string& expected) {
  static const ScratchFolder scratch("ini");
  const std::filesystem::path file = scratch.path() / "comment.ini";
  WriteBytes(file, content);
  Require(WriteIniFileValue(file, section, key, value),
          "a writable INI file takes the value");
  Require(ReadBytes(file) == expected, "the file holds what SetIniValue gives");
  Require(ReadIniFileValue(file, section, key) ==
              FindIniValue(expected, section, key),
          "the file reads as the text does");
}

void FuzzOneInput(std::string_view input) {
  const std::string_view section = TakeUntil(input, kNul);
  const std::string_view key = TakeUntil(input, kNul);
  const std::string_view value = TakeUntil(input, kNul);
  const std::string_view content = input;

  const std::optional<std::string> old_value =
      FindIniValue(content, section, key);
  const std::string updated = SetIniValue(content, section, key, value);
  if (old_value && !HasLineBreak(value)) {
    Require(IsOneLineReplaced(content, updated),
            "replacing a value changes its line only");
  } else if (!old_value) {
    Require(IsInsertionAtLineStart(content, updated),
            "a new key or section is inserted, every byte kept");
  }
  // Blanks or quotes around a value are kept by quoting it; a line break
  // would end the line.
  if (IsWritableName(section, key) && !HasLineBreak(value)) {
    Require(FindIniValue(updated, section, key) == value,
            "the value reads back as written");
    Require(SetIniValue(updated, section, key, value) == updated,
            "writing the same value again changes nothing");
  }
  CheckFileRoundTrip(content, section, key, value, updated);
}

}  // namespace
}  // namespace cordshift::fuzz

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data,
                                      std::size_t size) {
  cordshift::fuzz::FuzzOneInput(cordshift::fuzz::AsText(data, size));
  return 0;
}
