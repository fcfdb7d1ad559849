#ifndef CORDSHIFT_WIRING_COMPANION_H_
#define CORDSHIFT_WIRING_COMPANION_H_

// The companion comment file of a source wiring file ("<name>.ini" beside
// it), whose comment a conversion carries over to the destination.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_scan.h"
#include "platform/text_file.h"
#include "wiring/wiring_file_list.h"

namespace cordshift {

inline constexpr char kCommentSection[] = "Purpose";
inline constexpr char kCommentKey[] = "Comment";

// A wiring file's comment as read from its companion file.
struct CompanionComment {
  // The companion file read; no value when the wiring file has none.
  std::optional<std::filesystem::path> file;
  ReadError error = ReadError::kNone;  // why the file could not be read
  std::optional<std::string> value;    // no value when the key is missing
};

// Reads the companions of one folder's files at a time.
class CompanionReader {
 public:
  // The comment of `file`. Its companion is "<name>.ini" or, where names
  // are case-sensitive and that does not exist, the first file of the
  // folder (in name order) whose name matches it without regard to case, as
  // trees copied from Windows media often spell it. A folder or device of
  // that name is no companion.
  CompanionComment Read(const WiringFile& file);

 private:
  bool ListSaysWhichHaveOne(const WiringFile& file) const;
  std::optional<std::filesystem::path> CompanionByCase(const WiringFile& file);
  // The companion of `file` among those listed: "<name>.ini" as spelled,
  // else the first whose name matches without regard to case.
  std::optional<std::filesystem::path> ListedCompanion(
      const WiringFile& file) const;

  // The comment files of the folder last read from, listed when a
  // companion is not found under its exact name; on POSIX, later files of
  // the folder are then looked up in the list.
  std::string folder_;
  std::optional<std::vector<FoundFile>> files_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_COMPANION_H_
