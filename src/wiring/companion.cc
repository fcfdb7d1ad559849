#include "wiring/companion.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "platform/ini_access.h"

namespace cordshift {
namespace {

char AsciiUpper(char c) {
  return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// File names are UTF-8, whose multi-byte characters have no ASCII bytes, so
// folding ASCII letters leaves every other character as it is.
bool SameNameIgnoringCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return AsciiUpper(x) == AsciiUpper(y);
         });
}

CompanionComment CommentIn(std::filesystem::path companion) {
  IniFileLookup lookup =
      LookUpIniValue(companion, kCommentSection, kCommentKey);
  return {std::move(companion), lookup.error, std::move(lookup.value)};
}

}  // namespace

CompanionComment CompanionReader::Read(const WiringFile& file) {
  CompanionComment comment = CommentIn(PathFromUtf8(file.CompanionPath()));
  if (comment.error == ReadError::kMissing) {
    std::optional<std::filesystem::path> other = CompanionByCase(file);
    if (!other) return {};
    comment = CommentIn(std::move(*other));
  }
  if (comment.error == ReadError::kNotAFile) return {};
  return comment;
}

std::optional<std::filesystem::path> CompanionReader::CompanionByCase(
    const WiringFile& file) {
  const std::string& folder = file.folder;
  if (!files_ || folder_ != folder) {
    folder_ = folder;
    files_ = ListFilesWithExtension(folder.empty() ? "." : folder,
                                    kCompanionExtension);
  }
  if (!files_) return std::nullopt;
  for (const FoundFile& found : *files_) {
    if (SameNameIgnoringCase(found.name, file.name)) {
      return PathFromUtf8(folder + found.name + found.extension);
    }
  }
  return std::nullopt;
}

}  // namespace cordshift
