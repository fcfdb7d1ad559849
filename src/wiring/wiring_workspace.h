#ifndef CORDSHIFT_WIRING_WIRING_WORKSPACE_H_
#define CORDSHIFT_WIRING_WIRING_WORKSPACE_H_

// What the readers and converters of wiring files share: the terminal tables
// built once, the terminal tally, and the output buffer kept from file to
// file so that converting a file allocates nothing per record, and the
// source bytes a run's listing keeps for its conversion. Owned by the front
// end for the program's lifetime; one reader or converter uses it at a time.

#include <memory>

#include "platform/text_file.h"
#include "wiring/kept_sources.h"
#include "wiring/notation.h"
#include "wiring/record_output.h"
#include "wiring/terminal_tally.h"

namespace cordshift {

struct WiringWorkspace {
  TerminalTables tables;
  TerminalTally tally;
  RecordOutput output;  // the converted lines on their way to the disk
  KeptSources kept;     // what a run's listing read, for its conversion
  // The destination folder of a run's conversion at hand, opened by the run
  // so that another thread can make the folder's new files ahead. A
  // conversion into another folder opens its own.
  std::shared_ptr<OpenedFolder> destination_files;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WIRING_WORKSPACE_H_
