#ifndef CORDSHIFT_WIRING_WRITTEN_NAMES_H_
#define CORDSHIFT_WIRING_WRITTEN_NAMES_H_

// The names of the files a run writes into one folder, by their spelling
// and by a key that a file system ignoring letter case may take them
// under: of two source files whose names differ only so, the first one
// written keeps the destination.

#include <algorithm>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/utf8.h"

namespace cordshift {

class WrittenNames {
 public:
  void Add(const std::string& name) {
    names_[FoldedNameKey(name)].push_back(name);
  }

  bool Contains(const std::string& name) const {
    const auto spellings = names_.find(FoldedNameKey(name));
    return spellings != names_.end() &&
           std::find(spellings->second.begin(), spellings->second.end(),
                     name) != spellings->second.end();
  }

  // True when the name was written under another spelling, which a file
  // system that ignores letter case may take for the same name.
  bool HasOtherSpelling(const std::string& name) const {
    const auto spellings = names_.find(FoldedNameKey(name));
    return spellings != names_.end() &&
           std::any_of(
               spellings->second.begin(), spellings->second.end(),
               [&name](const std::string& written) { return written != name; });
  }

  void clear() { names_.clear(); }

 private:
  std::unordered_map<std::u32string, std::vector<std::string>> names_;
};

// Whether this system's file names are taken without regard to letter case
// wherever they are, as Windows takes them; elsewhere only some file
// systems do, which only a write there can tell.
constexpr bool NamesIgnoreCaseOnThisSystem() {
#ifdef _WIN32
  return true;
#else
  return false;
#endif
}

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_WRITTEN_NAMES_H_
