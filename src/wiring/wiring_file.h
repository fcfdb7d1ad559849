#ifndef CORDSHIFT_WIRING_WIRING_FILE_H_
#define CORDSHIFT_WIRING_WIRING_FILE_H_

// The two wiring-file layouts: a four-line header (model name, date-time,
// circuit count, terminal count) followed by one record per line, three
// fields on the continuity side ("From-To,Lower,Upper") and six on the hipot
// side ("From-To,1,Lower,Upper,1,0"). Lines end in CR LF; on reading, CR LF
// or a lone CR ends a line. Everything here works on code page 932 bytes and
// on views into them, without allocating per record.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/text_file.h"

namespace cordshift {

inline constexpr int kContinuityFieldCount = 3;
inline constexpr int kHipotFieldCount = 6;

struct WiringHeader {
  std::string_view model_name;      // line 1
  std::string_view date_time;       // line 2
  std::string_view circuit_count;   // line 3
  std::string_view terminal_count;  // line 4
};

// The largest wiring file that is read: real files hold a few thousand
// records, and a file is held in memory whole while it is read (its
// converted records go to the disk in chunks).
inline constexpr std::uint64_t kMaxWiringFileSize = std::uint64_t{4} << 30;

// Reads a wiring file whole, up to kMaxWiringFileSize.
FileRead ReadWiringFile(const std::string& utf8_path);

// Reads the four header lines from `lines`; no value when there are fewer.
std::optional<WiringHeader> ReadWiringHeader(LineReader& lines);

// True for a circuit or terminal count line: numeric with a whole-number
// value of 0 or more.
bool IsCountLine(std::string_view line);

// The first header line (1 to 4) that a conversion refuses, 0 when it takes
// them all: a blank model name, a date that is no date stamp, a count that
// is not a number of 0 or more.
int RefusedHeaderLine(const WiringHeader& header);

// The terminal pair of a record as read: field 1 with spaces removed at both
// ends, split at "-" into exactly two parts, each with spaces removed at both
// ends. The views are not upper-cased; compare with SjisFirstCharUpper and
// write with AppendSjisUpper.
struct TerminalPair {
  std::string_view from;
  std::string_view to;
};

// A record line with its delimiters: every "," and the "-" of field 1.
struct RecordLine {
  std::string_view text;
  std::size_t commas = 0;
  std::size_t first_comma = std::string_view::npos;
  std::size_t hyphens = 0;  // in field 1
  std::size_t first_hyphen = std::string_view::npos;
};

// Finds the delimiters of one line.
RecordLine ScanRecordLine(std::string_view line);

// Walks the record lines of a text by the rule of LineReader, finding each
// line's end and its delimiters in one pass over its bytes, eight at a
// time.
class RecordLineReader {
 public:
  explicit RecordLineReader(std::string_view text) : rest_(text) {}

  // The next line, or false at the end of the text.
  bool Next(RecordLine& line);

  // The text after the lines read so far.
  std::string_view rest() const { return rest_; }

 private:
  std::string_view rest_;
};

// Splits a record line at every "," into exactly `field_count` fields and
// field 1 into its terminal pair; no value when either split fails.
std::optional<TerminalPair> SplitRecord(const RecordLine& line,
                                        int field_count);
std::optional<TerminalPair> SplitRecord(std::string_view line, int field_count);

// A continuity record is in AB notation when the first character of From
// (upper-cased) is "A", or it is "B" and To is not empty.
bool IsAbNotation(const TerminalPair& pair);

struct ContinuityRecord {
  TerminalPair pair;
  bool ab_notation = false;
  // In AB notation, the sequential numbers (1..TableCapacity) of From and
  // To; unused otherwise.
  int from_number = 0;
  int to_number = 0;
};

// Reads a continuity record line by the shared reading rules. In AB notation
// each terminal must be "A" or "B" followed by a number 1..4096; a record
// that breaks any rule has no value.
std::optional<ContinuityRecord> ReadContinuityRecord(const RecordLine& line);
std::optional<ContinuityRecord> ReadContinuityRecord(std::string_view line);

// Writing: every line ends in CR LF.
void AppendLine(std::string& out, std::string_view text);
void AppendDecimal(std::string& out, std::int64_t value);

// The four header lines.
void AppendWiringHeader(std::string& out, std::string_view model_name,
                        std::string_view date_time, std::int64_t circuit_count,
                        std::int64_t terminal_count);

// The part of a record after its terminal pair, built once per conversion:
// "," Lower "," Upper on the continuity side, ",1," Lower "," Upper ",1,0"
// on the hipot side.
std::string ContinuityRecordTail(std::string_view lower,
                                 std::string_view upper);
std::string HipotRecordTail(std::string_view lower, std::string_view upper);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WIRING_FILE_H_
