#ifndef CORDSHIFT_WIRING_WIRING_FILE_LIST_H_
#define CORDSHIFT_WIRING_WIRING_FILE_LIST_H_

// The wiring files of one folder of one side with their per-file summaries.
// File number l (1-based, as shown in the lists and quoted in messages) is
// element l - 1 of every array.

#include <cstdint>
#include <string>
#include <vector>

namespace cordshift {

inline constexpr char kWiringExtension[] = ".lvd";
inline constexpr char kCompanionExtension[] = ".ini";

struct WiringFileList {
  int Count = 0;
  std::vector<std::string> Names;  // file names without the extension (UTF-8)
  std::vector<std::string> Paths;  // folder followed by the name (UTF-8)
  // The extension as the file system spells it (".lvd" or, say, ".LVD"), so
  // that a file is opened by its real name where names are case-sensitive.
  std::vector<std::string> Extensions;
  std::vector<std::int32_t> Circuits;     // 回路数
  std::vector<std::int32_t> Terminals;    // 端子数
  std::vector<std::int32_t> SingleEnded;  // 片端数
  std::vector<std::string> MaxTerminal;   // 最大端子, display text

  // Removes every file.
  void Clear();
  // Appends a file with empty summaries.
  void Add(std::string name, std::string path, std::string extension);
  // Sizes the summary arrays to Count with zeros and empty texts.
  void ResetSummaries();

  // The wiring file of file number l (1-based).
  std::string WiringPath(int l) const;
  // The companion comment file of file number l.
  std::string CompanionPath(int l) const;

  static std::size_t Index(int l) { return static_cast<std::size_t>(l - 1); }
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WIRING_FILE_LIST_H_
