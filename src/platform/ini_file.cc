#include "platform/ini_file.h"

#include <cstddef>
#include <system_error>
#include <utility>

#include "platform/sjis.h"
#include "platform/text_file.h"

namespace cordshift {
namespace fs = std::filesystem;

namespace {

constexpr std::string_view kCrLf = "\r\n";

// One line of an INI text as offsets into it: [begin, text_end) is the
// line's text, [text_end, end) its line end (empty on a last line without
// one).
struct IniLine {
  std::size_t begin = 0;
  std::size_t text_end = 0;
  std::size_t end = 0;

  bool HasLineEnd() const { return end > text_end; }
};

// Unlike the wiring files, INI files also end a line at a lone LF, as the
// profile functions do. Neither CR nor LF can be a trail byte.
IniLine IniLineAt(std::string_view content, std::size_t begin) {
  IniLine line{begin, content.find_first_of(kCrLf, begin), 0};
  if (line.text_end == std::string_view::npos) {
    line.text_end = content.size();
    line.end = content.size();
    return line;
  }
  line.end = line.text_end + 1;
  if (content[line.text_end] == '\r' && line.end < content.size() &&
      content[line.end] == '\n') {
    ++line.end;
  }
  return line;
}

enum class IniLineKind { kBlank, kComment, kSection, kKey, kOther };

struct ParsedIniLine {
  IniLineKind kind = IniLineKind::kOther;
  std::string_view name;   // section or key name, blanks removed
  std::string_view value;  // a key's value, blanks removed, quotes kept
};

// Bytes of the character at `pos`. In code page 932 a "]" or a letter can be
// the trail byte of a kanji (no lead byte is ASCII), so the walk goes
// character by character; in UTF-8 every byte of a multi-byte character lies
// above ASCII, so each byte can be looked at on its own.
std::size_t IniCharLength(std::string_view text, std::size_t pos,
                          IniEncoding encoding) {
  return encoding == IniEncoding::kCp932 ? SjisCharLength(text, pos) : 1;
}

// Offset of the last single-byte `c` in the text; npos when absent.
std::size_t FindLastAsciiChar(std::string_view text, char c,
                              IniEncoding encoding) {
  std::size_t found = std::string_view::npos;
  for (std::size_t pos = 0; pos < text.size();
       pos += IniCharLength(text, pos, encoding)) {
    if (text[pos] == c) found = pos;
  }
  return found;
}

ParsedIniLine ParseIniLine(std::string_view text, IniEncoding encoding) {
  const std::string_view trimmed = TrimBlanks(text);
  if (trimmed.empty()) return {IniLineKind::kBlank, {}, {}};
  if (trimmed.front() == ';') return {IniLineKind::kComment, {}, {}};
  if (trimmed.front() == '[') {
    // A "[" without "]" is no header; the line is read like any other.
    const std::size_t close = FindLastAsciiChar(trimmed, ']', encoding);
    if (close != std::string_view::npos) {
      return {
          IniLineKind::kSection, TrimBlanks(trimmed.substr(1, close - 1)), {}};
    }
  }
  // "=" lies below the trail-byte range, so a plain search is safe.
  const std::size_t equals = trimmed.find('=');
  if (equals == std::string_view::npos) return {IniLineKind::kOther, {}, {}};
  return {IniLineKind::kKey, TrimBlanks(trimmed.substr(0, equals)),
          TrimBlanks(trimmed.substr(equals + 1))};
}

char UpperAscii(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Names match regardless of the case of single-byte letters; every other
// character must match exactly, trail bytes included.
bool SameIniName(std::string_view a, std::string_view b, IniEncoding encoding) {
  std::size_t pos_a = 0;
  std::size_t pos_b = 0;
  while (pos_a < a.size() && pos_b < b.size()) {
    const std::size_t length = IniCharLength(a, pos_a, encoding);
    if (IniCharLength(b, pos_b, encoding) != length) return false;
    if (length == 1 ? UpperAscii(a[pos_a]) != UpperAscii(b[pos_b])
                    : a.substr(pos_a, 2) != b.substr(pos_b, 2)) {
      return false;
    }
    pos_a += length;
    pos_b += length;
  }
  return pos_a == a.size() && pos_b == b.size();
}

// Where a key stands in an INI text: only the first section of the name is
// looked at, and in it the first line of the key.
struct IniKeyLocation {
  bool section_found = false;
  IniLine last_filled_line;  // last non-blank line of the section
  bool key_found = false;
  IniLine key_line;
  std::string_view key_spelling;  // the key as the file writes it
  std::string_view raw_value;
};

IniKeyLocation LocateIniKey(std::string_view content, std::string_view section,
                            std::string_view key, IniEncoding encoding) {
  IniKeyLocation location;
  for (std::size_t pos = 0; pos < content.size();) {
    const IniLine line = IniLineAt(content, pos);
    pos = line.end;
    const ParsedIniLine parsed = ParseIniLine(
        content.substr(line.begin, line.text_end - line.begin), encoding);
    if (parsed.kind == IniLineKind::kSection) {
      if (location.section_found) break;
      location.section_found = SameIniName(parsed.name, section, encoding);
      location.last_filled_line = line;
      continue;
    }
    if (!location.section_found) continue;
    if (parsed.kind != IniLineKind::kBlank) location.last_filled_line = line;
    if (parsed.kind == IniLineKind::kKey &&
        SameIniName(parsed.name, key, encoding)) {
      location.key_found = true;
      location.key_line = line;
      location.key_spelling = parsed.name;
      location.raw_value = parsed.value;
      break;
    }
  }
  return location;
}

std::string_view RemoveQuotes(std::string_view value) {
  if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
      value.back() == value.front()) {
    return value.substr(1, value.size() - 2);
  }
  return value;
}

bool EndsWithLineEnd(std::string_view content) {
  return !content.empty() && (content.back() == '\r' || content.back() == '\n');
}

void AppendKeyLine(std::string& out, std::string_view key,
                   std::string_view value) {
  out.append(key).append("=").append(value).append(kCrLf);
}

std::string ReplaceKeyLine(std::string_view content,
                           const IniKeyLocation& location,
                           std::string_view value) {
  const IniLine& line = location.key_line;
  std::string out(content.substr(0, line.begin));
  out.append(location.key_spelling).append("=").append(value);
  out.append(content.substr(line.text_end));
  return out;
}

// The new key goes after the section's last non-blank line, so blank lines
// that separate it from the next section stay after it.
std::string InsertKeyLine(std::string_view content,
                          const IniKeyLocation& location, std::string_view key,
                          std::string_view value) {
  const IniLine& after = location.last_filled_line;
  std::string out(content.substr(0, after.end));
  if (!after.HasLineEnd()) out.append(kCrLf);
  AppendKeyLine(out, key, value);
  out.append(content.substr(after.end));
  return out;
}

std::string AppendSection(std::string_view content, std::string_view section,
                          std::string_view key, std::string_view value) {
  std::string out(content);
  if (!content.empty() && !EndsWithLineEnd(content)) out.append(kCrLf);
  out.append("[").append(section).append("]").append(kCrLf);
  AppendKeyLine(out, key, value);
  return out;
}

}  // namespace

std::optional<std::string> FindIniValue(std::string_view content,
                                        std::string_view section,
                                        std::string_view key,
                                        IniEncoding encoding) {
  const IniKeyLocation location =
      LocateIniKey(content, TrimBlanks(section), TrimBlanks(key), encoding);
  if (!location.key_found) return std::nullopt;
  return std::string(RemoveQuotes(location.raw_value));
}

std::string SetIniValue(std::string_view content, std::string_view section,
                        std::string_view key, std::string_view value,
                        IniEncoding encoding) {
  // A reader drops blanks around a value and one pair of quotes around it:
  // a value that would lose either is written inside quotes, so that it
  // reads back as it was given (a comment copied from a quoted source
  // value, or one that a NUL byte cut short after a blank).
  std::string quoted;
  if (value != TrimBlanks(value) || RemoveQuotes(value) != value) {
    quoted.append("\"").append(value).append("\"");
    value = quoted;
  }
  const std::string_view section_name = TrimBlanks(section);
  const std::string_view key_name = TrimBlanks(key);
  const IniKeyLocation location =
      LocateIniKey(content, section_name, key_name, encoding);
  if (location.key_found) return ReplaceKeyLine(content, location, value);
  if (location.section_found) {
    return InsertKeyLine(content, location, key_name, value);
  }
  return AppendSection(content, section_name, key_name, value);
}

IniFileLookup LookUpIniFileValue(const fs::path& file, std::string_view section,
                                 std::string_view key) {
  const FileRead read = ReadFileUpTo(file, kMaxIniFileSize);
  if (!read.ok()) return {read.error, std::nullopt};
  return {ReadError::kNone, FindIniValue(read.content, section, key)};
}

std::optional<std::string> ReadIniFileValue(const fs::path& file,
                                            std::string_view section,
                                            std::string_view key) {
  return LookUpIniFileValue(file, section, key).value;
}

bool WriteIniFileValue(const fs::path& file, std::string_view section,
                       std::string_view key, std::string_view value) {
  std::error_code error;
  const fs::file_status status = fs::status(file, error);
  std::string content;
  if (status.type() != fs::file_type::not_found) {
    // An existing file that cannot be read must not be overwritten by a file
    // holding only the new key.
    FileRead existing = ReadFileUpTo(file, kMaxIniFileSize);
    if (!existing.ok()) return false;
    content = std::move(existing.content);
  }
  return WriteFileAtomically(file, SetIniValue(content, section, key, value)) ==
         WriteError::kNone;
}

}  // namespace cordshift
