#ifndef CORDSHIFT_WIRING_WIRING_FILE_LIST_H_
#define CORDSHIFT_WIRING_WIRING_FILE_LIST_H_

// The wiring files of one folder of one side with their per-file summaries.
// File number l (1-based, as shown in the lists and quoted in messages) is
// element l - 1.

#include <cstdint>
#include <string>
#include <vector>

namespace cordshift {

inline constexpr char kWiringExtension[] = ".lvd";
inline constexpr char kCompanionExtension[] = ".ini";

// What the summary readers find in a file: the list columns 回路数, 端子数,
// 片端数 and 最大端子.
struct FileSummary {
  std::int32_t circuits = 0;
  std::int32_t terminals = 0;
  std::int32_t single_ended = 0;
  std::string max_terminal;  // display text
};

struct WiringFile {
  std::string name;    // the file name without the extension (UTF-8)
  std::string folder;  // the folder, ending in a separator (UTF-8)
  // The extension as the file system spells it (".lvd" or, say, ".LVD"), so
  // that a file is opened by its real name where names are case-sensitive.
  std::string extension = kWiringExtension;
  FileSummary summary;  // empty until a summary reader has read the file

  // The wiring file and its companion comment file.
  std::string WiringPath() const { return folder + name + extension; }
  std::string CompanionPath() const {
    return folder + name + kCompanionExtension;
  }
};

using WiringFileList = std::vector<WiringFile>;

// The file of file number l (1-based).
inline const WiringFile& FileNumber(const WiringFileList& files, int l) {
  return files[static_cast<std::size_t>(l - 1)];
}
inline WiringFile& FileNumber(WiringFileList& files, int l) {
  return files[static_cast<std::size_t>(l - 1)];
}
inline int FileCount(const WiringFileList& files) {
  return static_cast<int>(files.size());
}

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WIRING_FILE_LIST_H_
