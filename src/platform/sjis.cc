#include "platform/sjis.h"

namespace cordshift {

std::size_t SjisCharCount(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t pos = 0; pos < text.size();
       pos += SjisCharLength(text, pos)) {
    ++count;
  }
  return count;
}

std::size_t SjisCharOffset(std::string_view text, std::size_t index) {
  std::size_t pos = 0;
  for (; index > 0 && pos < text.size(); --index) {
    pos += SjisCharLength(text, pos);
  }
  return pos;
}

std::string_view SjisSubstr(std::string_view text, std::size_t first,
                            std::size_t count) {
  const std::size_t begin = SjisCharOffset(text, first);
  const std::string_view rest = text.substr(begin);
  return rest.substr(0, SjisCharOffset(rest, count));
}

std::string_view SjisDropFirstChar(std::string_view text) {
  if (text.empty()) return text;
  return text.substr(SjisCharLength(text, 0));
}

char* CopySjisUpper(char* out, std::string_view text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t length = SjisCharLength(text, pos);
    char c = text[pos];
    if (length == 1 && c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    *out++ = c;
    if (length == 2) *out++ = text[pos + 1];
    pos += length;
  }
  return out;
}

void AppendSjisUpper(std::string& out, std::string_view text) {
  const std::size_t start = out.size();
  out.resize(start + text.size());
  CopySjisUpper(out.data() + start, text);
}

void SjisToUpperInPlace(std::string& text) {
  std::size_t pos = 0;
  while (pos < text.size()) {
    const std::size_t length = SjisCharLength(text, pos);
    char& c = text[pos];
    if (length == 1 && c >= 'a' && c <= 'z')
      c = static_cast<char>(c - 'a' + 'A');
    pos += length;
  }
}

std::string SjisToUpper(std::string_view text) {
  std::string upper(text);
  SjisToUpperInPlace(upper);
  return upper;
}

std::string_view TrimBlanks(std::string_view text) {
  const auto is_blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && is_blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && is_blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace cordshift
