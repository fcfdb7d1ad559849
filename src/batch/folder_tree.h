#ifndef CORDSHIFT_BATCH_FOLDER_TREE_H_
#define CORDSHIFT_BATCH_FOLDER_TREE_H_

// The source tree as pairs of source and destination folders, the creation
// of destination folders, and the enumeration of one folder's wiring files.

#include <string>
#include <string_view>
#include <vector>

#include "wiring/conversion_view.h"

namespace cordshift {

inline constexpr char kAnalysingGuide[] = "フォルダ構成を解析中です...";

// The results of the last analysis and the last enumeration. Owned by the
// front end for the program's lifetime.
class FolderTree {
 public:
  // Shows the analysing text, then lists every folder below the source
  // root: the subfolders of a folder together, in name order, then each of
  // them with its own subfolders, every folder after its parent. Entry 1 is
  // the pair of roots. A destination root inside the source tree is left
  // out with everything below it. False when the source root is not an
  // existing folder or a folder in the tree cannot be read.
  bool AnalyzeFolderTree(ConversionView& view, std::string_view source_root,
                         std::string_view destination_root);

  // Sets FoundCount to 0 and enumerates the folder's files with the
  // extension. False when the folder cannot be read.
  bool ListWiringFiles(std::string_view folder, std::string_view extension);

  // Appends the files matching a pattern (a folder followed by "*" and an
  // extension, such as ".../Data/*.lvd") to the found files. A folder that
  // does not exist adds nothing and succeeds.
  bool FindFiles(std::string_view pattern);

  int FolderCount = 0;
  std::vector<std::string> SourceFolders;       // each ends in a separator
  std::vector<std::string> DestinationFolders;  // each ends in a separator
  // After a failed analysis, the folder it could not read (the source root
  // when that is not an existing folder).
  std::string UnreadableFolder;

  int FoundCount = 0;
  std::vector<std::string> FoundNames;       // without the extension
  std::vector<std::string> FoundPaths;       // folder + name
  std::vector<std::string> FoundExtensions;  // as spelled on disk
};

// Creates a folder with every missing folder above it. Stops silently at
// the first folder that cannot be created; false then.
bool MakeFolderPath(std::string_view folder);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_FOLDER_TREE_H_
