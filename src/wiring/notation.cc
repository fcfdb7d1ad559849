#include "wiring/notation.h"

#include <algorithm>
#include <string>

#include "platform/sjis.h"
#include "wiring/numeric.h"

namespace cordshift {
namespace {

constexpr int kBlockSize = 64;
constexpr std::int32_t kHighestAbNumber = TableCapacity / 2;

// The sequential number of AB number 1..4096 of one side.
int SequenceOf(bool b_side, int ab_number) {
  const int block = (ab_number - 1) / kBlockSize;
  const int offset = (ab_number - 1) % kBlockSize;
  return 2 * kBlockSize * block + offset + 1 + (b_side ? kBlockSize : 0);
}

}  // namespace

std::string SequenceToAb(int sequence_number) {
  if (sequence_number < 1) return std::string();
  const int block = (sequence_number - 1) / (2 * kBlockSize);
  const int offset = (sequence_number - 1) % (2 * kBlockSize);
  const bool b_side = offset >= kBlockSize;
  const int ab_number =
      kBlockSize * block + offset - (b_side ? kBlockSize : 0) + 1;
  return (b_side ? "B" : "A") + std::to_string(ab_number);
}

void TerminalTables::ShortText::Assign(std::string_view text) {
  bytes = {};
  text.copy(bytes.data(), bytes.size());
  size = static_cast<unsigned char>(std::min(text.size(), bytes.size()));
}

void TerminalTables::BuildTerminalTables() {
  for (int terminal = 1; terminal <= TableCapacity; ++terminal) {
    ab_numbers_[Index(terminal)].Assign(SequenceToAb(terminal));
    decimals_[Index(terminal)].Assign(std::to_string(terminal));
    std::string padded = std::to_string(terminal);
    padded.insert(0, 4 - std::min<std::size_t>(padded.size(), 4), '0');
    four_digits_[Index(terminal)].Assign(padded);
  }
}

std::optional<int> StrictAbToSequence(std::string_view text) {
  const char side = SjisFirstCharUpper(text);
  if (side != 'A' && side != 'B') return std::nullopt;
  const WholeNumber number = ParseWholeNumber(text.substr(1));
  if (!number.ok() || number.value < 1 || number.value > kHighestAbNumber) {
    return std::nullopt;
  }
  return SequenceOf(side == 'B', number.value);
}

}  // namespace cordshift
