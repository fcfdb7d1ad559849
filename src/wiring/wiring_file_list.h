#ifndef CORDSHIFT_WIRING_WIRING_FILE_LIST_H_
#define CORDSHIFT_WIRING_WIRING_FILE_LIST_H_

// The wiring files of one folder of one side with their per-file summaries.
// A file number is 1-based, as shown in the lists and quoted in messages:
// file number 1 is element 0.

#include <cstdint>
#include <string>
#include <vector>

namespace cordshift {

inline constexpr char kWiringExtension[] = ".lvd";
inline constexpr char kCompanionExtension[] = ".ini";

// What the summary readers and the conversions find in a file: its
// circuits, distinct terminals, single-ended circuits and highest terminal.
struct FileSummary {
  std::int32_t circuits = 0;
  std::int32_t terminals = 0;
  std::int32_t single_ended = 0;
  std::int32_t highest_terminal = 0;  // 0 when no terminal was counted
  // The notation the highest terminal is shown in: the file's own (that of
  // its last record) for a continuity file read, the one written for a
  // continuity file converted, sequential for hipot files.
  bool highest_in_ab = false;

  bool operator==(const FileSummary&) const = default;
};

struct WiringFile {
  std::string name;    // the file name without the extension (UTF-8)
  std::string folder;  // the folder, ending in a separator (UTF-8)
  // The extension as the file system spells it (".lvd" or, say, ".LVD"), so
  // that a file is opened by its real name where names are case-sensitive.
  std::string extension = kWiringExtension;
  FileSummary summary;  // empty until a summary reader has read the file
  // The summary reader stored a summary: the file has a row in its
  // folder's list and is offered for conversion. Continuity files without
  // any counted terminal get none.
  bool summarised = false;

  // The wiring file and its companion comment file.
  std::string WiringPath() const { return folder + name + extension; }
  std::string CompanionPath() const {
    return folder + name + kCompanionExtension;
  }
};

using WiringFileList = std::vector<WiringFile>;

// The terminal numbers of a file's records as a listing read them: From and
// To of each record, in order.
using ListedTerminals = std::vector<std::int32_t>;

inline const WiringFile& FileNumber(const WiringFileList& files,
                                    int file_number) {
  return files[static_cast<std::size_t>(file_number - 1)];
}
inline WiringFile& FileNumber(WiringFileList& files, int file_number) {
  return files[static_cast<std::size_t>(file_number - 1)];
}
inline int FileCount(const WiringFileList& files) {
  return static_cast<int>(files.size());
}

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WIRING_FILE_LIST_H_
