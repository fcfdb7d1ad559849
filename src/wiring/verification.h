#ifndef CORDSHIFT_WIRING_VERIFICATION_H_
#define CORDSHIFT_WIRING_VERIFICATION_H_

// A converted wiring file compared with its source, circuit by circuit.
// Both are read with the readers the listings use (RecordLineReader with
// ReadContinuityRecord or SplitRecord), never with the converters' record
// scanner, so that a fault of the scanner cannot hide itself by reading its
// own output the same wrong way. Terminals are compared by the terminal
// they name, not by their spelling: 0001 and 1 are one terminal, as every
// reader of these files takes them.

#include <optional>
#include <string>
#include <string_view>

#include "wiring/direction.h"
#include "wiring/wiring_file_list.h"

namespace cordshift {

// What a converted file must say beyond its source's circuits. A field
// without a value is not compared.
struct ConversionExpectation {
  Direction direction = Direction::kContinuityToHipot;
  // The terminal notation of the continuity side written; without a value
  // either notation matches.
  std::optional<Notation> notation;
  std::optional<std::string> model_name;  // line 1, Shift-JIS
  // The limits of every record, spaces removed at both ends.
  std::optional<std::string> lower;
  std::optional<std::string> upper;
};

enum class MismatchKind {
  // The source's line `source_line` is one no conversion takes: a header
  // line missing or a record that cannot be converted.
  kSourceLine,
  kHeaderLine,     // header line `destination_line` (1 to 4)
  kRecord,         // record line `destination_line`
  kMissingRecord,  // the file ends where `source_line` should follow
  kExtraRecord,    // record line `destination_line` has no source record
  kComment,        // the comment of the converted file's comment file
};

// The first place where a converted file does not say what its source
// says. The source's and the converted file's line numbers are the same
// wherever both have the line, as a conversion writes one record line per
// source record line.
struct Mismatch {
  MismatchKind kind = MismatchKind::kRecord;
  int source_line = 0;       // 0 when the source has no such line
  int destination_line = 0;  // the first line of the converted file that
                             // differs (past its end for a missing record)
  // The line as the conversion writes it, and as found (Shift-JIS); empty
  // for a line that is not there. A field that is not compared is shown as
  // found.
  std::string expected;
  std::string found;

  bool operator==(const Mismatch&) const = default;
};

// Compares `converted` with `source`, in the layout of each side of the
// direction. No value when every header line and record agrees. With
// `listed`, the terminals a listing read in the source's records, these are
// compared instead of reading the records again; the source is read only
// to find where a file that differs differs.
std::optional<Mismatch> CompareConvertedFile(
    std::string_view source, std::string_view converted,
    const ConversionExpectation& expectation,
    const ListedTerminals* listed = nullptr);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_VERIFICATION_H_
