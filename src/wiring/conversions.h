#ifndef CORDSHIFT_WIRING_CONVERSIONS_H_
#define CORDSHIFT_WIRING_CONVERSIONS_H_

// Conversion of one folder's wiring files into the other tester's layout.
// Each source file is checked and converted record by record into a file
// staged in the destination folder (StagedWrite), its companion comment
// copied and the file put in place. What becomes of each file goes to the
// observer; the first fault ends the folder.

#include <functional>
#include <memory>
#include <string>

#include "platform/text_file.h"
#include "wiring/conversion_observer.h"
#include "wiring/direction.h"
#include "wiring/kept_sources.h"
#include "wiring/wiring_file_list.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// What a run asks of every folder's conversion (UTF-8 texts).
struct ConversionInputs {
  std::string model_name;  // written as line 1, in Shift-JIS
  std::string lower;       // the continuity resistance limits
  std::string upper;
  // The notation written on the continuity side.
  Notation notation = Notation::kAb;
  bool overwrite = false;  // replace existing destination files
  bool dry_run = false;    // decide and report, but write nothing
  // Read every file written back by its name and compare it with its source
  // (verification.h); a file that differs is a fault.
  bool verify = true;
  // Called with a file's name once its comment file is in place and before
  // the wiring file is: the moment at which another writer's files decide
  // what a conversion must leave alone. Tests play that writer here.
  std::function<void(const std::string& name)> comment_written;
  // Called with a file's name once it is in place and before it is read
  // back: where a failing disk or another writer would change it. Tests
  // change it here.
  std::function<void(const std::string& name)> file_written;
};

// One folder to convert.
struct FolderJob {
  const WiringFileList* source = nullptr;  // summarised beforehand
  std::string destination_folder;          // ends in a separator
  // The destination folder as the run made and opened it; opened by the
  // conversion when there is none.
  std::shared_ptr<OpenedFolder> destination_files;
  // The bytes and comments the listing read, taken file by file; files
  // not kept are read again.
  KeptSources* kept = nullptr;
};

// The shape of both folder conversions, for callers that pick one by
// direction. True when every file was converted or skipped; false at a
// fault (reported, then FolderAborted) or a stop.
using FolderConversion = bool (*)(ConversionObserver& observer,
                                  const FolderJob& job,
                                  const ConversionInputs& inputs,
                                  WiringWorkspace& workspace);

// Continuity files into hipot files. A file whose comment cannot be copied
// is a fault, as one that cannot be written.
bool ConvertFolderToHipot(ConversionObserver& observer, const FolderJob& job,
                          const ConversionInputs& inputs,
                          WiringWorkspace& workspace);

// Hipot files into continuity files, in AB or sequential notation; files with
// single-ended circuits are not converted.
bool ConvertFolderToContinuity(ConversionObserver& observer,
                               const FolderJob& job,
                               const ConversionInputs& inputs,
                               WiringWorkspace& workspace);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_CONVERSIONS_H_
