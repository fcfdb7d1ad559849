#ifndef CORDSHIFT_WIRING_SUMMARIES_H_
#define CORDSHIFT_WIRING_SUMMARIES_H_

// Per-file summaries of one folder's wiring files: circuits, distinct
// terminals, single-ended circuits and the highest terminal, stored in the
// folder's WiringFileList.

#include <optional>

#include "wiring/file_report.h"
#include "wiring/kept_sources.h"
#include "wiring/stop_check.h"
#include "wiring/wiring_file_list.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// How far the reading of a folder's summaries came.
struct SummaryReading {
  int files_read = 0;               // files 1..files_read were read
  std::optional<FileReport> fault;  // the file that stopped the reading
  bool stopped = false;             // a stop was asked for

  bool complete() const { return !fault && !stopped; }
};

// The shape of both summary readers, for callers that pick one by side.
// Each stops at the first fault; summaries of earlier files stay. With
// `keep`, the bytes of each file read are offered to it (a run's listing,
// for the conversion that follows).
using SummaryReader = SummaryReading (*)(WiringFileList& files,
                                         WiringWorkspace& workspace,
                                         KeptSources* keep,
                                         const StopCheck& stop);

// Summarises continuity files. A file without any counted terminal is not
// summarised: it has no row and nothing to convert.
SummaryReading SummarizeContinuityFiles(WiringFileList& files,
                                        WiringWorkspace& workspace,
                                        KeptSources* keep,
                                        const StopCheck& stop);

// Summarises hipot files, every one.
SummaryReading SummarizeHipotFiles(WiringFileList& files,
                                   WiringWorkspace& workspace,
                                   KeptSources* keep, const StopCheck& stop);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_SUMMARIES_H_
