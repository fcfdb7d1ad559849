#include "platform/utf8.h"

namespace cordshift {
namespace {

bool IsContinuationByte(unsigned char byte) { return (byte & 0xC0) == 0x80; }

struct SequenceShape {
  std::size_t length;
  char32_t lead_bits;
  char32_t smallest;  // the smallest code point that needs this length
};

// The shape of the sequence a lead byte starts; length 0 for a byte that
// cannot start one.
SequenceShape ShapeOf(unsigned char lead) {
  if (lead < 0x80) return {1, lead, 0};
  if (lead >= 0xC2 && lead <= 0xDF) return {2, lead & 0x1Fu, 0x80};
  if (lead >= 0xE0 && lead <= 0xEF) return {3, lead & 0x0Fu, 0x800};
  if (lead >= 0xF0 && lead <= 0xF4) return {4, lead & 0x07u, 0x10000};
  return {0, 0, 0};
}

}  // namespace

Utf8Char DecodeUtf8At(std::string_view text, std::size_t pos) {
  const auto lead = static_cast<unsigned char>(text[pos]);
  const Utf8Char malformed{lead, 1, false};
  const SequenceShape shape = ShapeOf(lead);
  if (shape.length == 0 || text.size() - pos < shape.length) return malformed;
  char32_t code_point = shape.lead_bits;
  for (std::size_t i = 1; i < shape.length; ++i) {
    const auto byte = static_cast<unsigned char>(text[pos + i]);
    if (!IsContinuationByte(byte)) return malformed;
    code_point = (code_point << 6) | (byte & 0x3Fu);
  }
  const bool is_surrogate = code_point >= 0xD800 && code_point <= 0xDFFF;
  if (code_point < shape.smallest || code_point > 0x10FFFF || is_surrogate) {
    return malformed;
  }
  return {code_point, shape.length, true};
}

bool IsValidUtf8(std::string_view text) {
  for (std::size_t pos = 0; pos < text.size();) {
    const Utf8Char c = DecodeUtf8At(text, pos);
    if (!c.valid) return false;
    pos += c.length;
  }
  return true;
}

namespace {

char32_t FoldLetter(char32_t c) {
  const auto in = [c](char32_t first, char32_t last) {
    return c >= first && c <= last;
  };
  if (in(U'a', U'z') || in(U'\u00e0', U'\u00fe') || in(U'\u03b1', U'\u03c9') ||
      in(U'\u0430', U'\u044f') || in(U'\uff41', U'\uff5a')) {
    // The multiplication and division signs and the final sigma sit where a
    // letter's pair would; they have none.
    if (c == U'\u00f7' || c == U'\u03c2') return c;
    return c - 0x20;
  }
  if (in(U'\u0450', U'\u045f')) return c - 0x50;
  return c;
}

}  // namespace

std::u32string FoldedNameKey(std::string_view name) {
  constexpr char32_t kInvalidByteBase = 0x110000;
  std::u32string key;
  key.reserve(name.size());
  for (std::size_t pos = 0; pos < name.size();) {
    const Utf8Char c = DecodeUtf8At(name, pos);
    key.push_back(c.valid ? FoldLetter(c.code_point)
                          : kInvalidByteBase +
                                static_cast<unsigned char>(name[pos]));
    pos += c.length;
  }
  return key;
}

}  // namespace cordshift
