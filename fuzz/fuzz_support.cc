#include "fuzz_support.h"

#include "platform/text_file.h"

namespace cordshift::fuzz {

bool HasNoTempFiles(const std::filesystem::path& folder) {
  for (const auto& entry :
       std::filesystem::recursive_directory_iterator(folder)) {
    if (entry.path().filename().string().starts_with(kTempFilePrefix)) {
      return false;
    }
  }
  return true;
}

}  // namespace cordshift::fuzz
