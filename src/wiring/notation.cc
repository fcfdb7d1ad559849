#include "wiring/notation.h"

#include <string>

#include "platform/sjis.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

constexpr int kBlockSize = 64;
constexpr std::int32_t kHighestAbNumber = TableCapacity / 2;

// Floor division by a positive divisor: negative dividends go towards minus
// infinity, so A0 lands in the block before A1.
std::int64_t FloorDiv(std::int64_t dividend, std::int64_t divisor) {
  const std::int64_t quotient = dividend / divisor;
  return (dividend % divisor < 0) ? quotient - 1 : quotient;
}

std::int64_t SequenceOf(bool b_side, std::int64_t ab_number) {
  constexpr std::int64_t kBlock = kBlockSize;
  const std::int64_t block = FloorDiv(ab_number - 1, kBlock);
  const std::int64_t offset = (ab_number - 1) - kBlock * block;
  return 2 * kBlock * block + offset + 1 + (b_side ? kBlock : 0);
}

}  // namespace

std::string SequenceToAb(int n) {
  if (n < 1) return std::string();
  const int block = (n - 1) / (2 * kBlockSize);
  const int offset = (n - 1) % (2 * kBlockSize);
  const bool b_side = offset >= kBlockSize;
  const int ab_number =
      kBlockSize * block + offset - (b_side ? kBlockSize : 0) + 1;
  return (b_side ? "B" : "A") + std::to_string(ab_number);
}

void TerminalTables::BuildTerminalTables() {
  for (int n = 1; n <= TableCapacity; ++n) {
    sequence_texts_[Index(n)] = std::to_string(n);
    ab_numbers_[Index(n)] = SequenceToAb(n);
  }
}

bool TerminalTables::LookupAbNumber(std::string_view text, std::string& ab_text,
                                    std::string& sequence_text) const {
  ab_text = text;
  const std::size_t length = SjisCharCount(text);
  if (length != 3 && length != 4) return false;
  const WholeNumber number = ParseWholeNumber(text);
  if (!number.ok() || number.value < 1 || number.value > TableCapacity) {
    return false;
  }
  ab_text = AbNumber(number.value);
  sequence_text = SequenceText(number.value);
  return true;
}

std::optional<std::int64_t> AbToSequenceNumber(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const WholeNumber number = ParseWholeNumber(SjisDropFirstChar(text));
  if (!number.ok()) return std::nullopt;
  return SequenceOf(SjisFirstCharUpper(text) == 'B', number.value);
}

std::optional<std::string> AbToSequence(std::string_view text) {
  const std::optional<std::int64_t> number = AbToSequenceNumber(text);
  if (!number) return std::nullopt;
  return std::to_string(*number);
}

std::optional<int> StrictAbToSequence(std::string_view text) {
  const char side = SjisFirstCharUpper(text);
  if (side != 'A' && side != 'B') return std::nullopt;
  const WholeNumber number = ParseWholeNumber(text.substr(1));
  if (!number.ok() || number.value < 1 || number.value > kHighestAbNumber) {
    return std::nullopt;
  }
  return static_cast<int>(SequenceOf(side == 'B', number.value));
}

}  // namespace cordshift
