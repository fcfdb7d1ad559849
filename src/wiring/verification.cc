#include "wiring/verification.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/check.h"
#include "wiring/notation.h"
#include "wiring/numeric.h"
#include "wiring/terminal_tally.h"
#include "wiring/wiring_file.h"

namespace cordshift {
namespace {

constexpr int kHeaderLines = 4;

using HeaderLines = std::array<std::string_view, kHeaderLines>;

// Reads up to four header lines; returns how many there were.
int ReadHeaderLines(LineReader& lines, HeaderLines& header) {
  int count = 0;
  while (count < kHeaderLines) {
    const std::optional<std::string_view> line = lines.Next();
    if (!line) break;
    header[static_cast<std::size_t>(count++)] = *line;
  }
  return count;
}

std::optional<std::int32_t> NumberOf(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(text);
  if (!number.ok()) return std::nullopt;
  return number.value;
}

// A terminal of a source record as the converted file must name it: by its
// number where it has one, else by its text (a continuity file's
// sequential terminal need not be a number, and is then copied as written).
struct ExpectedTerminal {
  std::string_view text;  // as the source spells it
  std::int32_t number = 0;
  bool has_number = false;
  bool from_ab = false;  // read from an AB number

  void Set(std::string_view source_text, std::optional<std::int32_t> value,
           bool ab) {
    text = source_text;
    has_number = value.has_value();
    number = value.value_or(0);
    from_ab = ab;
  }

  bool NamedBy(std::string_view found) const {
    if (has_number) return NumberOf(found) == number;
    return SjisToUpper(found) == SjisToUpper(text);
  }
};

struct ExpectedPair {
  ExpectedTerminal from;
  ExpectedTerminal to;
};

// The fields of a line with exactly N - 1 commas.
template <std::size_t N>
std::array<std::string_view, N> FieldsOf(std::string_view line) {
  std::array<std::string_view, N> fields{};
  for (std::size_t field = 0; field + 1 < N; ++field) {
    const std::size_t comma = line.find(',');
    fields[field] = line.substr(0, comma);
    line.remove_prefix(comma == std::string_view::npos ? line.size()
                                                       : comma + 1);
  }
  fields[N - 1] = line;
  return fields;
}

bool FieldIs(std::string_view field, std::string_view expected) {
  return TrimSpaces(field) == expected;
}

// A field whose value is not asked for matches whatever it holds.
bool FieldMatches(std::string_view field,
                  const std::optional<std::string>& expected) {
  return !expected || FieldIs(field, *expected);
}

std::string FourDigits(std::int32_t number) {
  std::string text = std::to_string(number);
  if (text.size() < 4) text.insert(0, 4 - text.size(), '0');
  return text;
}

// The record comparisons of one direction: each reads a source record,
// says which terminals the converted record must name (tallying them), and
// compares a converted record with them.
class RecordComparison {
 public:
  explicit RecordComparison(const ConversionExpectation& expectation)
      : expectation_(expectation) {
    tally_.ResetTerminalTally();
  }

  // Reads the terminals the converted record must name into `pair`
  // (reused from record to record: building it afresh costs more than
  // the rest of the comparison); false for a source record that no
  // conversion takes.
  bool ReadSource(const RecordLine& line, ExpectedPair& pair) {
    return expectation_.direction == Direction::kContinuityToHipot
               ? ReadContinuitySource(line, pair)
               : ReadHipotSource(line, pair);
  }

  // The same for a record's terminals as a listing read them.
  bool TakeListed(std::int32_t from, std::int32_t to, ExpectedPair& pair) {
    pair.from.Set({}, from, false);
    pair.to.Set({}, to, false);
    if (expectation_.direction == Direction::kHipotToContinuity &&
        (!IsTableNumber(pair.from) || !IsTableNumber(pair.to))) {
      return false;
    }
    Tally(pair);
    return true;
  }

  bool Matches(const RecordLine& line, const ExpectedPair& pair) {
    return expectation_.direction == Direction::kContinuityToHipot
               ? MatchesHipot(line, pair)
               : MatchesContinuity(line, pair);
  }

  // The line the conversion writes for `pair`; fields that are not
  // compared are taken from `found` where it has them.
  std::string ExpectedLine(const ExpectedPair& pair,
                           std::string_view found) const {
    return expectation_.direction == Direction::kContinuityToHipot
               ? ExpectedHipotLine(pair, found)
               : ExpectedContinuityLine(pair, found);
  }

  int DistinctTerminals() { return tally_.SummarizeTerminals(); }

 private:
  bool ReadContinuitySource(const RecordLine& line, ExpectedPair& pair) {
    const std::optional<ContinuityRecord> record = ReadContinuityRecord(line);
    if (!record) return false;
    if (record->ab_notation) {
      pair.from.Set(record->pair.from, record->from_number, true);
      pair.to.Set(record->pair.to, record->to_number, true);
    } else {
      pair.from.Set(record->pair.from, NumberOf(record->pair.from), false);
      pair.to.Set(record->pair.to, NumberOf(record->pair.to), false);
    }
    Tally(pair);
    return true;
  }

  // Hipot records reach the continuity side with both terminals numbers of
  // the table; any other is a fault of the conversion.
  bool ReadHipotSource(const RecordLine& line, ExpectedPair& pair) {
    const std::optional<TerminalPair> terminals =
        SplitRecord(line, kHipotFieldCount);
    if (!terminals) return false;
    pair.from.Set(terminals->from, NumberOf(terminals->from), false);
    pair.to.Set(terminals->to, NumberOf(terminals->to), false);
    if (!IsTableNumber(pair.from) || !IsTableNumber(pair.to)) return false;
    Tally(pair);
    return true;
  }

  static bool IsTableNumber(const ExpectedTerminal& terminal) {
    return terminal.has_number && terminal.number >= 1 &&
           terminal.number <= TableCapacity;
  }

  void Tally(const ExpectedPair& pair) {
    if (pair.from.has_number) tally_.TallyTerminalNumber(pair.from.number);
    if (pair.to.has_number) tally_.TallyTerminalNumber(pair.to.number);
  }

  bool MatchesHipot(const RecordLine& line, const ExpectedPair& pair) {
    const std::optional<TerminalPair> found =
        SplitRecord(line, kHipotFieldCount);
    if (!found) return false;
    // Nearly every terminal is one to four digits, read here in one step;
    // the fields after the pair make the bytes that read needs readable.
    int from = 0;
    int to = 0;
    if (pair.from.has_number && pair.to.has_number &&
        ShortDigitsValues(found->from, found->to, from, to)) {
      if (from != pair.from.number || to != pair.to.number) return false;
    } else if (!pair.from.NamedBy(found->from) || !pair.to.NamedBy(found->to)) {
      return false;
    }
    return TailMatches(line, [this](std::string_view text) {
      const auto fields = FieldsOf<kHipotFieldCount>(text);
      return FieldIs(fields[1], "1") &&
             FieldMatches(fields[2], expectation_.lower) &&
             FieldMatches(fields[3], expectation_.upper) &&
             FieldIs(fields[4], "1") && FieldIs(fields[5], "0");
    });
  }

  bool MatchesContinuity(const RecordLine& line, const ExpectedPair& pair) {
    const std::optional<ContinuityRecord> found = ReadContinuityRecord(line);
    if (!found) return false;
    if (expectation_.notation &&
        found->ab_notation != (*expectation_.notation == Notation::kAb)) {
      return false;
    }
    const std::optional<std::int32_t> from =
        found->ab_notation ? found->from_number : NumberOf(found->pair.from);
    const std::optional<std::int32_t> to =
        found->ab_notation ? found->to_number : NumberOf(found->pair.to);
    if (from != pair.from.number || to != pair.to.number) return false;
    return TailMatches(line, [this](std::string_view text) {
      const auto fields = FieldsOf<kContinuityFieldCount>(text);
      return FieldMatches(fields[1], expectation_.lower) &&
             FieldMatches(fields[2], expectation_.upper);
    });
  }

  // Whether the fields after the terminal pair are what `fields_match` asks
  // of the line. A file's records nearly all end alike, so a tail that
  // matched before matches again without a look at its fields.
  template <typename FieldsMatch>
  bool TailMatches(const RecordLine& line, FieldsMatch fields_match) {
    const std::string_view tail = line.text.substr(line.first_comma);
    if (tail == matched_tail_) return true;
    if (!fields_match(line.text)) return false;
    matched_tail_.assign(tail);
    return true;
  }

  // A field of `found` where the expectation has none to say.
  template <std::size_t N>
  static std::string FoundField(std::string_view found, std::size_t field,
                                const std::optional<std::string>& expected) {
    if (expected) return *expected;
    const RecordLine line = ScanRecordLine(found);
    if (line.commas != N - 1) return "?";
    return std::string(TrimSpaces(FieldsOf<N>(found)[field]));
  }

  std::string ExpectedHipotLine(const ExpectedPair& pair,
                                std::string_view found) const {
    const auto terminal = [](const ExpectedTerminal& expected) {
      return expected.from_ab ? std::to_string(expected.number)
                              : SjisToUpper(expected.text);
    };
    return terminal(pair.from) + "-" + terminal(pair.to) + ",1," +
           FoundField<kHipotFieldCount>(found, 2, expectation_.lower) + "," +
           FoundField<kHipotFieldCount>(found, 3, expectation_.upper) + ",1,0";
  }

  std::string ExpectedContinuityLine(const ExpectedPair& pair,
                                     std::string_view found) const {
    // Without a notation asked for, the one found is shown.
    bool ab = true;
    if (expectation_.notation) {
      ab = *expectation_.notation == Notation::kAb;
    } else if (const std::optional<ContinuityRecord> record =
                   ReadContinuityRecord(found)) {
      ab = record->ab_notation;
    }
    const auto terminal = [ab](const ExpectedTerminal& expected) {
      return ab ? SequenceToAb(expected.number) : FourDigits(expected.number);
    };
    return terminal(pair.from) + "-" + terminal(pair.to) + "," +
           FoundField<kContinuityFieldCount>(found, 1, expectation_.lower) +
           "," +
           FoundField<kContinuityFieldCount>(found, 2, expectation_.upper);
  }

  const ConversionExpectation& expectation_;
  TerminalTally tally_;
  std::string matched_tail_;  // from the first comma on
};

Mismatch MismatchAt(MismatchKind kind, int source_line, int destination_line,
                    std::string expected, std::string_view found) {
  return {kind, source_line, destination_line, std::move(expected),
          std::string(found)};
}

// A header line of the converted file, or the mismatch of one that is
// missing or not `expected`.
std::optional<Mismatch> HeaderLineMismatch(int line, int lines_found,
                                           const HeaderLines& found,
                                           const std::string& expected,
                                           bool matches) {
  if (line > lines_found) {
    return MismatchAt(MismatchKind::kHeaderLine, line, line, expected, {});
  }
  if (matches) return std::nullopt;
  return MismatchAt(MismatchKind::kHeaderLine, line, line, expected,
                    found[static_cast<std::size_t>(line - 1)]);
}

bool IsCount(std::string_view line, std::int64_t count) {
  const std::optional<std::int32_t> number = NumberOf(line);
  return number && *number == count;
}

}  // namespace

std::optional<Mismatch> CompareConvertedFile(
    std::string_view source, std::string_view converted,
    const ConversionExpectation& expectation, const ListedTerminals* listed) {
  LineReader source_lines(source);
  HeaderLines source_header;
  const int source_header_lines = ReadHeaderLines(source_lines, source_header);
  if (source_header_lines < kHeaderLines) {
    return MismatchAt(MismatchKind::kSourceLine, source_header_lines + 1, 0, {},
                      {});
  }
  LineReader converted_lines(converted);
  HeaderLines header;
  const int header_lines = ReadHeaderLines(converted_lines, header);

  // The records, in step; the first that differs is kept while the rest of
  // the source is still read for the counts (and its faults).
  RecordComparison comparison(expectation);
  RecordLineReader source_records(source_lines.rest());
  RecordLineReader converted_records(header_lines == kHeaderLines
                                         ? converted_lines.rest()
                                         : std::string_view());
  std::optional<Mismatch> record_mismatch;
  int line_number = kHeaderLines;
  std::int64_t records = 0;
  RecordLine source_line;
  RecordLine converted_line;
  ExpectedPair expected;
  std::size_t next_listed = 0;
  // The next source record's terminals, read again or as listed; false at
  // the end, and at a record that no conversion takes (`taken` false).
  const auto next_source = [&](bool& taken) {
    if (listed != nullptr) {
      if (next_listed + 2 > listed->size()) return false;
      taken = comparison.TakeListed((*listed)[next_listed],
                                    (*listed)[next_listed + 1], expected);
      next_listed += 2;
      return true;
    }
    if (!source_records.Next(source_line)) return false;
    taken = comparison.ReadSource(source_line, expected);
    return true;
  };
  bool taken = true;
  while (next_source(taken)) {
    ++line_number;
    if (!taken) {
      if (listed != nullptr) break;
      return MismatchAt(MismatchKind::kSourceLine, line_number, 0, {},
                        source_line.text);
    }
    ++records;
    // Where the listed terminals differ, the source is read again to say
    // how.
    if (listed != nullptr && record_mismatch) break;
    if (record_mismatch) continue;
    if (!converted_records.Next(converted_line)) {
      record_mismatch =
          MismatchAt(MismatchKind::kMissingRecord, line_number, line_number,
                     comparison.ExpectedLine(expected, {}), {});
    } else if (!comparison.Matches(converted_line, expected)) {
      record_mismatch =
          MismatchAt(MismatchKind::kRecord, line_number, line_number,
                     comparison.ExpectedLine(expected, converted_line.text),
                     converted_line.text);
    }
  }
  if (!record_mismatch && converted_records.Next(converted_line)) {
    record_mismatch = MismatchAt(MismatchKind::kExtraRecord, 0, line_number + 1,
                                 {}, converted_line.text);
  }

  const std::string model_name =
      expectation.model_name
          ? *expectation.model_name
          : std::string(header_lines >= 1 ? header[0] : std::string_view());
  const std::string circuits = std::to_string(records);
  const int terminal_count = comparison.DistinctTerminals();
  const std::string terminals = std::to_string(terminal_count);
  std::optional<Mismatch> mismatch = HeaderLineMismatch(
      1, header_lines, header, model_name, header[0] == model_name);
  if (!mismatch) {
    mismatch = HeaderLineMismatch(2, header_lines, header,
                                  std::string(source_header[1]),
                                  header[1] == source_header[1]);
  }
  if (!mismatch) {
    mismatch = HeaderLineMismatch(3, header_lines, header, circuits,
                                  IsCount(header[2], records));
  }
  if (!mismatch) {
    mismatch = HeaderLineMismatch(4, header_lines, header, terminals,
                                  IsCount(header[3], terminal_count));
  }
  if (!mismatch) mismatch = std::move(record_mismatch);
  if (listed != nullptr && (mismatch || !taken)) {
    return CompareConvertedFile(source, converted, expectation);
  }
  return mismatch;
}

}  // namespace cordshift
