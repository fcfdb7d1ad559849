#ifndef CORDSHIFT_BATCH_FOLDER_TREE_H_
#define CORDSHIFT_BATCH_FOLDER_TREE_H_

// The source tree as pairs of source and destination folders, the creation
// of destination folders, and the enumeration of one folder's wiring files.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/folder_scan.h"
#include "wiring/wiring_file_list.h"

namespace cordshift {

// A folder of the source tree and the folder it is converted into; both end
// in a separator.
struct FolderPair {
  std::string source;
  std::string destination;

  bool operator==(const FolderPair&) const = default;
};

struct FolderAnalysis {
  // The pair of roots first, then every folder below the source root: the
  // subfolders of a folder together, in name order, then each of them with
  // its own subfolders, every folder after its parent. After a failure,
  // what was found up to it.
  std::vector<FolderPair> folders;
  // The folder that could not be read (the source root when that is not an
  // existing folder); empty when the analysis succeeded.
  std::string unreadable_folder;

  bool ok() const { return unreadable_folder.empty(); }
};

// Lists the tree below the source root. A destination root inside the
// source tree is left out with everything below it.
FolderAnalysis AnalyzeFolderTree(std::string_view source_root,
                                 std::string_view destination_root);

// The files of a folder with the extension, in name order; no value when
// the folder cannot be read. A folder that does not exist has none.
std::optional<WiringFileList> ListWiringFiles(std::string_view folder,
                                              std::string_view extension);

// The files matching a pattern: a folder followed by "*" and an extension,
// such as ".../Data/*.lvd". No value for any other pattern or a folder that
// cannot be read.
std::optional<WiringFileList> FindFiles(std::string_view pattern);

// What became of making a folder path: on failure, the first folder that
// could not be made and why.
struct FolderCreation {
  std::string failed_folder;
  FolderCreateError error = FolderCreateError::kNone;

  bool ok() const { return error == FolderCreateError::kNone; }
};

// Creates a folder with every missing folder above it, stopping at the
// first folder that cannot be created.
FolderCreation MakeFolderPath(std::string_view folder);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_FOLDER_TREE_H_
