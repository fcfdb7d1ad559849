#include "batch/folder_tree.h"

#include <cstddef>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/folder_path.h"
#include "platform/folder_scan.h"

namespace cordshift {

namespace {

// Separators accepted in paths handed in by callers.
#ifdef _WIN32
constexpr std::string_view kSeparators = "\\/";
#else
constexpr std::string_view kSeparators = "/";
#endif

bool IsSeparator(char c) {
  return kSeparators.find(c) != std::string_view::npos;
}

std::vector<std::string_view> SplitAtSeparators(std::string_view text) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  while (true) {
    const std::size_t end = text.find_first_of(kSeparators, start);
    if (end == std::string_view::npos) {
      parts.push_back(text.substr(start));
      return parts;
    }
    parts.push_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// The folders a creation walks through, top first, and what counts as a
// folder being there already.
struct FolderWalk {
  std::vector<std::string> folders;
  // A share only answers the folder test reliably, so there a file of the
  // same name does not stop the creation.
  bool any_entry_counts = true;
};

#ifdef _WIN32
// \\server\share\...: the server itself is never tested; local paths start
// below the drive.
FolderWalk PlanFolderWalk(std::string_view folder) {
  const std::vector<std::string_view> parts = SplitAtSeparators(folder);
  const bool network =
      folder.size() > 3 && IsSeparator(folder[0]) && IsSeparator(folder[1]);
  FolderWalk walk;
  walk.any_entry_counts = !network;
  std::size_t first = 1;
  std::string path(parts[0]);
  if (network) {
    path = std::string("\\\\").append(parts[2]);
    first = 3;
  }
  for (std::size_t part = first; part < parts.size(); ++part) {
    path.push_back(kFolderSeparator);
    path.append(parts[part]);
    walk.folders.push_back(path);
  }
  return walk;
}
#else
// An absolute path starts below "/", a relative one at its first part.
// Doubled separators add nothing.
FolderWalk PlanFolderWalk(std::string_view folder) {
  FolderWalk walk;
  std::string path;
  for (const std::string_view part : SplitAtSeparators(folder)) {
    if (part.empty()) {
      if (path.empty() && !folder.empty() && IsSeparator(folder.front())) {
        path.push_back(kFolderSeparator);
      }
      continue;
    }
    if (!path.empty() && !EndsWithSeparator(path)) {
      path.push_back(kFolderSeparator);
    }
    path.append(part);
    walk.folders.push_back(path);
  }
  return walk;
}
#endif

bool IsThere(const std::string& folder, bool any_entry_counts) {
  return any_entry_counts ? PathExists(folder) : FolderExists(folder);
}

// Lists the folder pairs below the two roots already stored as entry 1.
class TreeWalk {
 public:
  TreeWalk(FolderAnalysis& analysis, const std::string& source,
           const std::string& destination)
      : analysis_(analysis),
        source_(source),
        destination_(destination),
        // A run must never convert its own output, so a destination inside
        // the tree is cut off together with everything below it.
        destination_inside_(IsInsideFolder(destination, source)) {}

  // Depth first without recursion, so that the depth of a tree is limited
  // by memory only: each level keeps the subfolders still to be visited.
  void Run() {
    if (destination_inside_ && IsSameFolder(source_, destination_)) return;
    std::optional<std::vector<std::string>> top = StoreSubfolders(source_);
    if (!top) return;
    std::vector<Level> levels;
    levels.push_back({std::move(*top)});
    while (!levels.empty()) {
      Level& level = levels.back();
      if (level.next == level.folders.size()) {
        levels.pop_back();
        continue;
      }
      const std::string folder = std::move(level.folders[level.next++]);
      std::optional<std::vector<std::string>> below = StoreSubfolders(folder);
      if (!below) return;
      if (!below->empty()) levels.push_back({std::move(*below)});
    }
  }

 private:
  struct Level {
    std::vector<std::string> folders;
    std::size_t next = 0;
  };

  // Stores the subfolders of `folder` as new pairs, all of them before any
  // folder below them, and returns their paths; no value (and the folder
  // named as unreadable) when the folder cannot be read.
  std::optional<std::vector<std::string>> StoreSubfolders(
      const std::string& folder) {
    std::optional<std::vector<std::string>> names = ListSubfolders(folder);
    if (!names) {
      analysis_.unreadable_folder = folder;
      return std::nullopt;
    }
    std::vector<std::string> paths;
    paths.reserve(names->size());
    for (const std::string& name : *names) {
      std::string path = folder + name + kFolderSeparator;
      if (destination_inside_ && IsSameFolder(path, destination_)) continue;
      // The relative part comes from the walk itself, so cutting the source
      // root's length off is exact.
      analysis_.folders.push_back(
          {path, destination_ + path.substr(source_.size())});
      paths.push_back(std::move(path));
    }
    return paths;
  }

  FolderAnalysis& analysis_;
  const std::string& source_;
  const std::string& destination_;
  const bool destination_inside_;
};

}  // namespace

FolderAnalysis AnalyzeFolderTree(std::string_view source_root,
                                 std::string_view destination_root) {
  const std::string source = WithTrailingSeparator(std::string(source_root));
  const std::string destination =
      WithTrailingSeparator(std::string(destination_root));
  FolderAnalysis analysis;
  analysis.folders.push_back({source, destination});
  if (!FolderExists(source)) {
    analysis.unreadable_folder = source;
    return analysis;
  }
  TreeWalk(analysis, source, destination).Run();
  return analysis;
}

std::optional<WiringFileList> ListWiringFiles(std::string_view folder,
                                              std::string_view extension) {
  std::string pattern = WithTrailingSeparator(std::string(folder));
  pattern.push_back('*');
  pattern.append(extension);
  return FindFiles(pattern);
}

std::optional<WiringFileList> FindFiles(std::string_view pattern) {
  std::size_t prefix_length = 0;
  for (std::size_t length = pattern.size(); length > 0; --length) {
    if (IsSeparator(pattern[length - 1])) {
      prefix_length = length;
      break;
    }
  }
  const std::string_view prefix = pattern.substr(0, prefix_length);
  const std::string_view name_pattern = pattern.substr(prefix_length);
  // Only "*" followed by an extension is a pattern this system forms.
  if (name_pattern.empty() || name_pattern.front() != '*') return std::nullopt;
  const std::string_view extension = name_pattern.substr(1);
  if (extension.find_first_of("*?") != std::string_view::npos) {
    return std::nullopt;
  }
  std::optional<std::vector<FoundFile>> found =
      ListFilesWithExtension(prefix.empty() ? "." : prefix, extension);
  if (!found) return std::nullopt;
  WiringFileList files;
  files.reserve(found->size());
  const std::string folder(prefix);
  for (FoundFile& file : *found) {
    files.push_back(
        {std::move(file.name), folder, std::move(file.extension), {}});
  }
  return files;
}

FolderCreation MakeFolderPath(std::string_view folder) {
  std::string_view trimmed = folder;
  if (trimmed.size() > 1 && IsSeparator(trimmed.back())) {
    trimmed.remove_suffix(1);
  }
  const FolderWalk walk = PlanFolderWalk(trimmed);
  FolderCreation made;
  std::size_t reached = 0;  // the folders of the walk looked at
  for (; reached < walk.folders.size(); ++reached) {
    const std::string& path = walk.folders[reached];
    if (IsThere(path, walk.any_entry_counts)) continue;
    made.error = CreateFolder(path);
    if (!made.ok()) {
      made.failed_folder = path;
      ++reached;
      break;
    }
  }
  if (made.ok() && FolderExists(trimmed)) return made;
  // A file in the way is named itself, whatever the system said of the
  // folder below it that could not be made.
  for (std::size_t looked_at = 0; looked_at < reached; ++looked_at) {
    const std::string& path = walk.folders[looked_at];
    if (PathExists(path) && !FolderExists(path)) {
      return {path, FolderCreateError::kFileInTheWay};
    }
  }
  if (made.ok()) return {std::string(trimmed), FolderCreateError::kOther};
  // Some systems say a path is not found for a name they refuse.
  if (made.error == FolderCreateError::kNoParent && reached >= 2 &&
      FolderExists(walk.folders[reached - 2])) {
    made.error = FolderCreateError::kOther;
  }
  return made;
}

}  // namespace cordshift
