#ifndef CORDSHIFT_CLI_TEXT_REPORT_H_
#define CORDSHIFT_CLI_TEXT_REPORT_H_

// The human-readable output of the command line: the lists as aligned
// tables and the words that name message icons.

#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"
#include "present/recording_display.h"

namespace cordshift {

using TableRow = std::vector<std::string>;

// The six column headings of both lists, as the window shows them.
const TableRow& ListHeadings();

// "exclamation", "information" or "stop".
std::string_view IconWord(MessageIcon icon);

// The text as a terminal may receive it: control characters (C0, DEL and
// C1) as visible escapes ("\n", "\t", "\x1b", "\u009b"), and bytes that are
// not UTF-8 as "\xNN", so that a file name can neither break a table nor
// send the terminal a command. Everything else is kept.
std::string TerminalText(std::string_view text);

// "cordshift-cli: " and the reason, as the last line of a run that did not
// complete.
void WriteReasonLine(std::ostream& err, std::string_view reason);

// The converted-file count as reported: "0" where the run never set the
// counter (refused before any folder), as a freshly started window shows.
std::string ConvertedCountText(const RecordingDisplay& view);

// The rows under the headings, every column padded to its widest cell (by
// display width) and two spaces between columns; no trailing blanks. Rows
// shorter than the headings (a reader that stopped mid-row) leave their
// missing cells blank.
std::string FormatTable(const TableRow& headings,
                        const std::vector<TableRow>& rows);

// A titled table followed by an empty line.
void WriteListSection(std::ostream& out, std::string_view title,
                      const std::vector<TableRow>& rows);

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_TEXT_REPORT_H_
