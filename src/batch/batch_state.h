#ifndef CORDSHIFT_BATCH_BATCH_STATE_H_
#define CORDSHIFT_BATCH_BATCH_STATE_H_

// Everything the listings and conversion runs keep between calls: the four
// per-folder file lists and the readers' workspace. Owned by the front end
// (the window or a command-line run) for its lifetime.

#include "wiring/wiring_file_list.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

struct BatchState {
  WiringFileList SourceLoomvantageList;
  WiringFileList SourceHipotList;
  WiringFileList DestHipotList;
  WiringFileList DestLoomvantageList;
  WiringWorkspace workspace;
};

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_BATCH_STATE_H_
