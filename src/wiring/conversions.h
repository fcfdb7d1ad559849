#ifndef CORDSHIFT_WIRING_CONVERSIONS_H_
#define CORDSHIFT_WIRING_CONVERSIONS_H_

// Conversion of one folder's wiring files into the other tester's layout.
// Each source file is checked and converted record by record into a file
// staged in the destination folder (StagedWrite), its companion comment
// copied, the file put in place, and a row added to the destination list.
// The first fault ends the folder.

#include <functional>
#include <string>

#include "wiring/conversion_view.h"
#include "wiring/direction.h"
#include "wiring/wiring_file_list.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// The window's values, read once at the start of a folder's conversion.
struct ConversionInputs {
  std::string model_name;  // txtKisyu (UTF-8), written in Shift-JIS
  std::string lower;       // txtDL
  std::string upper;       // txtDU
  // The notation written on the continuity side.
  Notation notation = Notation::kAb;
  bool overwrite = false;  // replace existing destination files
  bool dry_run = false;    // decide and report, but write nothing
  // Called with a file's name once its comment file is in place and before
  // the wiring file is: the moment at which another writer's files decide
  // what a conversion must leave alone. Tests play that writer here.
  std::function<void(const std::string& name)> comment_written;
};

// The shape of both folder conversions, for callers that pick one by
// direction.
using FolderConversion = bool (*)(ConversionView& view,
                                  const WiringFileList& source,
                                  WiringFileList& destination,
                                  const std::string& destination_folder,
                                  const ConversionInputs& inputs,
                                  WiringWorkspace& workspace,
                                  int& converted_in_run);

// Continuity files of `source` (summarised beforehand) into hipot files in
// `destination_folder` (which ends in a separator). `destination` is emptied
// and lists every file written. `converted_in_run` holds the number of files
// converted earlier in the run; it grows with every file written, and the
// counter shows the new total each time. A file whose comment cannot be
// copied is a fault, as one that cannot be written. On a fault: a message
// for header faults, the abort text in the guidance line, and false. When
// the view asks to stop, false after the file at hand, without a text.
bool ConvertFolderToHipot(ConversionView& view, const WiringFileList& source,
                          WiringFileList& destination,
                          const std::string& destination_folder,
                          const ConversionInputs& inputs,
                          WiringWorkspace& workspace, int& converted_in_run);

// Hipot files into continuity files, in AB or sequential notation; files with
// single-ended circuits are not converted. Otherwise as above.
bool ConvertFolderToLoomvantage(ConversionView& view,
                                const WiringFileList& source,
                                WiringFileList& destination,
                                const std::string& destination_folder,
                                const ConversionInputs& inputs,
                                WiringWorkspace& workspace,
                                int& converted_in_run);

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_CONVERSIONS_H_
