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
  CompanionComment comment;
  if (ListSaysWhichHaveOne(file)) {
    std::optional<std::filesystem::path> listed = ListedCompanion(file);
    if (!listed) return {};
    comment = CommentIn(std::move(*listed));
  } else {
    comment = CommentIn(PathFromUtf8(file.CompanionPath()));
    if (comment.error == ReadError::kMissing) {
      std::optional<std::filesystem::path> other = CompanionByCase(file);
      if (!other) return {};
      comment = CommentIn(std::move(*other));
    }
  }
  // A companion that went between the listing and its reading is no
  // comment, whichever way it was found.
  if (comment.error == ReadError::kNotAFile ||
      comment.error == ReadError::kMissing) {
    return {};
  }
  return comment;
}

// Once a folder's companions have been listed (after one was missing
// under its exact name), the list says which files have one, so that a
// folder of files without comments costs one failed open, not one per file.
// Not on Windows, whose listings leave out hidden files, which are still
// companions there.
bool CompanionReader::ListSaysWhichHaveOne(const WiringFile& file) const {
#ifdef _WIN32
  constexpr bool kListsShowEveryFile = false;
#else
  constexpr bool kListsShowEveryFile = true;
#endif
  return kListsShowEveryFile && files_ && folder_ == file.folder;
}

std::optional<std::filesystem::path> CompanionReader::CompanionByCase(
    const WiringFile& file) {
  if (!files_ || folder_ != file.folder) {
    folder_ = file.folder;
    files_ = ListFilesWithExtension(folder_.empty() ? "." : folder_,
                                    kCompanionExtension);
  }
  return ListedCompanion(file);
}

std::optional<std::filesystem::path> CompanionReader::ListedCompanion(
    const WiringFile& file) const {
  if (!files_) return std::nullopt;
  const FoundFile* chosen = nullptr;
  for (const FoundFile& found : *files_) {
    if (found.name == file.name && found.extension == kCompanionExtension) {
      chosen = &found;
      break;
    }
    if (chosen == nullptr && SameNameIgnoringCase(found.name, file.name)) {
      chosen = &found;
    }
  }
  if (chosen == nullptr) return std::nullopt;
  return PathFromUtf8(folder_ + chosen->name + chosen->extension);
}

}  // namespace cordshift
