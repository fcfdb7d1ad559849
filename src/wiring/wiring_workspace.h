#ifndef CORDSHIFT_WIRING_WIRING_WORKSPACE_H_
#define CORDSHIFT_WIRING_WIRING_WORKSPACE_H_

// What the readers and converters of wiring files share: the terminal tables
// built once, the terminal tally, the output buffer kept from file to file
// so that converting a file allocates nothing per record, and the thread on
// which written files are verified while the next are converted (and a
// run's next folder is listed). Owned by the front end for the program's
// lifetime; one reader or converter uses it at a time.

#include "wiring/background_queue.h"
#include "wiring/notation.h"
#include "wiring/record_output.h"
#include "wiring/terminal_tally.h"

namespace cordshift {

struct WiringWorkspace {
  TerminalTables tables;
  TerminalTally tally;
  RecordOutput output;  // the converted lines on their way to the disk
  BackgroundQueue background;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WIRING_WORKSPACE_H_
