#include "batch/folder_tree.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/folder_path.h"
#include "platform/folder_scan.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::ElementsAreArray;
using ::testing::IsEmpty;
using testing::NativeSeparators;
using testing::PathText;
using testing::TempFolder;
using testing::WriteBytes;

// Makes the working folder another one for the life of the guard.
class WorkingFolderGuard {
 public:
  explicit WorkingFolderGuard(const fs::path& folder)
      : previous_(fs::current_path()) {
    fs::current_path(folder);
  }
  ~WorkingFolderGuard() { fs::current_path(previous_); }
  WorkingFolderGuard(const WorkingFolderGuard&) = delete;
  WorkingFolderGuard& operator=(const WorkingFolderGuard&) = delete;

 private:
  fs::path previous_;
};

class FolderTreeTest : public ::testing::Test {
 protected:
  // The path of a folder below the temporary folder, ending in a separator.
  // A path below the temporary folder with the native separators.
  std::string NativeText(std::string_view relative) const {
    return PathText((temp_ / relative).make_preferred());
  }

  std::string Folder(std::string_view relative) const {
    return WithTrailingSeparator(PathText(temp_ / relative));
  }
  void MakeFolders(std::initializer_list<std::string_view> relatives) const {
    for (std::string_view relative : relatives) {
      fs::create_directories(temp_ / relative);
    }
  }
  // The source folders below the source root, relative to it.
  std::vector<std::string> RelativeSources(std::string_view root) const {
    std::vector<std::string> relatives;
    const std::string prefix = Folder(root);
    for (const FolderPair& pair : tree_.folders) {
      const std::string& folder = pair.source;
      EXPECT_EQ(folder.rfind(prefix, 0), 0u) << folder;
      // Spelled with "/" as the tests write them.
      std::string relative = folder.substr(prefix.size());
      std::replace(relative.begin(), relative.end(), kFolderSeparator, '/');
      relatives.push_back(relative);
    }
    return relatives;
  }

  // Analyses into tree_; true when the analysis succeeded.
  bool Analyze(std::string_view source, std::string_view destination) {
    tree_ = AnalyzeFolderTree(source, destination);
    return tree_.ok();
  }
  static std::vector<std::string> Sources(const FolderAnalysis& tree) {
    std::vector<std::string> folders;
    for (const FolderPair& pair : tree.folders) folders.push_back(pair.source);
    return folders;
  }
  static std::vector<std::string> Destinations(const FolderAnalysis& tree) {
    std::vector<std::string> folders;
    for (const FolderPair& pair : tree.folders) {
      folders.push_back(pair.destination);
    }
    return folders;
  }

  TempFolder temp_;
  FolderAnalysis tree_;
};

TEST_F(FolderTreeTest, ListsSubfoldersTogetherThenEachOneDeeper) {
  MakeFolders({"src/b/y", "src/b/X", "src/A/2/deep", "src/A/10", "src/_u",
               "src/9", "dst"});
  WriteBytes(temp_ / "src/file.lvd", "not a folder");
#ifndef _WIN32
  fs::create_symlink(temp_ / "src/A", temp_ / "src/link");
#endif

  ASSERT_TRUE(Analyze(Folder("src"), Folder("dst")));

  const std::vector<std::string> expected = {
      "",      "9/",   "A/",        "b/",   "_u/",
      "A/10/", "A/2/", "A/2/deep/", "b/X/", "b/y/"};
  EXPECT_THAT(RelativeSources("src"), ElementsAreArray(expected));
  ASSERT_EQ(tree_.folders.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    EXPECT_EQ(tree_.folders[i].destination,
              Folder("dst") + NativeSeparators(expected[i]));
  }
}

TEST_F(FolderTreeTest, RootsGetATrailingSeparator) {
  MakeFolders({"src/A"});
  const std::string source = PathText(temp_ / "src");
  const std::string destination = PathText(temp_ / "dst");

  ASSERT_TRUE(Analyze(source, destination));

  EXPECT_THAT(Sources(tree_),
              ElementsAre(source + kFolderSeparator,
                          source + kFolderSeparator + "A" + kFolderSeparator));
  EXPECT_THAT(Destinations(tree_), ElementsAre(destination + kFolderSeparator,
                                               destination + kFolderSeparator +
                                                   "A" + kFolderSeparator));
}

TEST_F(FolderTreeTest, SourceWithoutSubfoldersGivesTheRootsOnly) {
  MakeFolders({"src"});
  ASSERT_TRUE(Analyze(Folder("src"), Folder("dst")));
  EXPECT_THAT(tree_.folders,
              ElementsAre(FolderPair{Folder("src"), Folder("dst")}));
}

TEST_F(FolderTreeTest, LeavesOutADestinationInsideTheSource) {
  MakeFolders({"src/A/out/sub", "src/A/p", "src/B", "src/B/out-x"});
#ifndef _WIN32
  fs::create_symlink(temp_ / "src/A", temp_ / "alias");
#endif
  const struct {
    const char* what;
    std::string destination;
    std::vector<std::string> relatives;
  } kCases[] = {
      {"destination below the source",
       Folder("src/A/out"),
       {"", "A/", "B/", "A/p/", "B/out-x/"}},
      {"destination spelled differently",
       PathText(temp_ / "src/B/../A/./out"),
       {"", "A/", "B/", "A/p/", "B/out-x/"}},
#ifndef _WIN32
      {"destination reached through a link",
       Folder("alias/out"),
       {"", "A/", "B/", "A/p/", "B/out-x/"}},
#endif
      {"destination not created yet",
       Folder("src/A/new"),
       {"", "A/", "B/", "A/out/", "A/p/", "A/out/sub/", "B/out-x/"}},
      {"destination is the source", Folder("src"), {""}},
  };
  for (const auto& c : kCases) {
    const FolderAnalysis tree = AnalyzeFolderTree(Folder("src"), c.destination);
    ASSERT_TRUE(tree.ok()) << c.what;
    std::vector<std::string> expected;
    for (const std::string& relative : c.relatives) {
      expected.push_back(Folder("src") + NativeSeparators(relative));
    }
    EXPECT_THAT(Sources(tree), ElementsAreArray(expected)) << c.what;
  }
}

TEST_F(FolderTreeTest, FailsWithoutASourceFolder) {
  WriteBytes(temp_ / "file", "x");
  for (const std::string& source :
       {Folder("missing"), Folder("file"), PathText(temp_ / "file")}) {
    const FolderAnalysis tree = AnalyzeFolderTree(source, Folder("dst"));
    EXPECT_FALSE(tree.ok()) << source;
    EXPECT_EQ(tree.unreadable_folder, WithTrailingSeparator(source));
    EXPECT_EQ(tree.folders.size(), 1u) << source;
  }
}

TEST_F(FolderTreeTest, WalksADeepTree) {
  constexpr int kDepth = 200;
  std::string relative;
  for (int level = 0; level < kDepth; ++level) relative += "d/";
  fs::create_directories(temp_ / "src" / relative);

  ASSERT_TRUE(Analyze(Folder("src"), Folder("dst")));

  EXPECT_EQ(tree_.folders.size(), std::size_t{kDepth + 1});
  EXPECT_EQ(tree_.folders.back(),
            (FolderPair{Folder("src") + NativeSeparators(relative),
                        Folder("dst") + NativeSeparators(relative)}));
}

#ifndef _WIN32
// A chain of folders whose full path is longer than the system accepts in
// one call, so that the deepest ones cannot be read through their path even
// by a superuser. Built and removed relative to open folders.
class OverlongChain {
 public:
  OverlongChain(const fs::path& base, int depth) {
    const std::string name(200, 'x');
    int parent = ::open(base.c_str(), O_RDONLY | O_DIRECTORY);
    for (int level = 0; level < depth && parent >= 0; ++level) {
      folders_.push_back(parent);
      if (::mkdirat(parent, name.c_str(), 0755) != 0) return;
      parent = ::openat(parent, name.c_str(), O_RDONLY | O_DIRECTORY);
    }
    if (parent >= 0) ::close(parent);
  }
  ~OverlongChain() {
    const std::string name(200, 'x');
    while (!folders_.empty()) {
      ::unlinkat(folders_.back(), name.c_str(), AT_REMOVEDIR);
      ::close(folders_.back());
      folders_.pop_back();
    }
  }
  OverlongChain(const OverlongChain&) = delete;
  OverlongChain& operator=(const OverlongChain&) = delete;

 private:
  std::vector<int> folders_;  // each holds the next one of the chain
};

TEST_F(FolderTreeTest, FailsWhenAFolderInTheTreeCannotBeRead) {
  MakeFolders({"src/a"});
  const int depth = PATH_MAX / 200 + 2;
  OverlongChain chain(temp_ / "src", depth);

  EXPECT_FALSE(Analyze(Folder("src"), Folder("dst")));
  // What was found up to the fault stays: both root subfolders at least.
  EXPECT_GE(tree_.folders.size(), 3u);
  EXPECT_LT(tree_.folders.size(), static_cast<std::size_t>(depth + 2));
  EXPECT_EQ(tree_.unreadable_folder.rfind(Folder("src"), 0), 0u);
}
#endif

TEST_F(FolderTreeTest, MakeFolderPathCreatesMissingParents) {
  MakeFolders({"out"});
  const struct {
    const char* what;
    std::string folder;
    std::string expected_folder;
  } kCases[] = {
      {"two missing levels", Folder("out/A/B"), "out/A/B"},
      {"no trailing separator", PathText(temp_ / "out/C/D"), "out/C/D"},
      {"existing folders", Folder("out/A"), "out/A"},
      {"doubled separators", PathText(temp_ / "out//E//F"), "out/E/F"},
  };
  for (const auto& c : kCases) {
    EXPECT_TRUE(MakeFolderPath(c.folder).ok()) << c.what;
    EXPECT_TRUE(fs::is_directory(temp_ / c.expected_folder)) << c.what;
  }
}

#ifdef _WIN32
// The first part of a path is its drive, which is neither tested nor
// created; a relative path's first part is taken for one.
TEST_F(FolderTreeTest, MakeFolderPathNeverCreatesTheFirstPart) {
  WorkingFolderGuard guard(temp_.path());
  EXPECT_FALSE(MakeFolderPath("rel\\inner\\").ok());
  EXPECT_FALSE(fs::exists(temp_ / "rel"));
  MakeFolders({"rel"});
  EXPECT_TRUE(MakeFolderPath("rel\\inner\\").ok());
  EXPECT_TRUE(fs::is_directory(temp_ / "rel/inner"));
}

// The administrative share of the temporary folder's drive serves as a
// share of a server; the tests' Wine prefix provides \\localhost\c$ too.
TEST_F(FolderTreeTest, MakeFolderPathCreatesFoldersOnAShare) {
  const std::string drive = PathText(temp_.path().root_name());
  ASSERT_FALSE(drive.empty());
  const std::string share = "\\\\localhost\\" + drive.substr(0, 1) + "$";
  if (!FolderExists(share)) GTEST_SKIP() << "no share " << share;
  const std::string temp_on_share =
      share + kFolderSeparator + PathText(temp_.path().relative_path());

  EXPECT_TRUE(MakeFolderPath(temp_on_share + "\\net\\A\\B\\").ok());
  EXPECT_TRUE(fs::is_directory(temp_ / "net/A/B"));
  EXPECT_TRUE(MakeFolderPath(temp_on_share + "\\net\\A").ok());

  // On a share only a folder counts as there; a file of the name is tried
  // as a folder and stops the creation.
  WriteBytes(temp_ / "net/file", "x");
  EXPECT_FALSE(MakeFolderPath(temp_on_share + "\\net\\file\\C\\").ok());
  EXPECT_FALSE(fs::exists(temp_ / "net/file/C"));
}
#else
TEST_F(FolderTreeTest, MakeFolderPathCreatesARelativePathFromItsFirstPart) {
  WorkingFolderGuard guard(temp_.path());
  EXPECT_TRUE(MakeFolderPath("rel/inner/").ok());
  EXPECT_TRUE(fs::is_directory(temp_ / "rel/inner"));
}
#endif

// The first folder that failed is named with the cause.
TEST_F(FolderTreeTest, MakeFolderPathStopsAtTheFirstFailure) {
  MakeFolders({"out"});
  WriteBytes(temp_ / "out/file", "x");
  const std::string too_long = "out/made/" + std::string(300, 'n');
  const struct {
    const char* what;
    std::string folder;
    const char* kept;  // created before the failure
    std::string failed_folder;
    FolderCreateError error;
  } kCases[] = {
      {"a file in the way", Folder("out/file/A/B"), nullptr,
       NativeText("out/file"), FolderCreateError::kFileInTheWay},
      {"the folder itself is a file", Folder("out/file"), nullptr,
       NativeText("out/file"), FolderCreateError::kFileInTheWay},
      {"a name the system refuses", Folder(too_long + "/below"), "out/made",
       NativeText(too_long),
#ifdef _WIN32
       FolderCreateError::kOther},
#else
       FolderCreateError::kPathTooLong},
#endif
  };
  for (const auto& c : kCases) {
    const FolderCreation made = MakeFolderPath(c.folder);
    EXPECT_FALSE(made.ok()) << c.what;
    EXPECT_EQ(made.error, c.error) << c.what;
    EXPECT_EQ(made.failed_folder, c.failed_folder) << c.what;
    if (c.kept != nullptr) {
      EXPECT_TRUE(fs::is_directory(temp_ / c.kept)) << c.what;
    }
  }
  EXPECT_TRUE(fs::is_regular_file(temp_ / "out/file"));
  EXPECT_THAT(testing::ReadBytes(temp_ / "out/file"), "x");
}

class FoundFilesTest : public FolderTreeTest {
 protected:
  void SetUp() override {
    for (const char* name :
         {"one/A.lvd", "one/X.LVD", "one/b.lvd", "one/.h.lvd", "one/n.txt",
          "two/C.lvd", "two/d.lvd"}) {
      WriteBytes(temp_ / name, "x");
    }
    MakeFolders({"one/D.lvd"});
    testing::MakeHidden(temp_ / "one/.h.lvd");
  }
};

TEST_F(FoundFilesTest, ListWiringFilesTakesTheWiringFilesInNameOrder) {
  for (const std::string& folder : {Folder("one"), PathText(temp_ / "one")}) {
    const std::optional<WiringFileList> files = ListWiringFiles(folder, ".lvd");
    ASSERT_TRUE(files.has_value()) << folder;
    EXPECT_THAT(testing::Names(*files), ElementsAre("A", "b", "X"));
    EXPECT_THAT(
        testing::EachFile(
            *files, [](const WiringFile& file) { return file.WiringPath(); }),
        ElementsAre(Folder("one") + "A.lvd", Folder("one") + "b.lvd",
                    Folder("one") + "X.LVD"));
  }
}

TEST_F(FoundFilesTest, MissingFolderIsSuccessWithNothingFound) {
  const std::optional<WiringFileList> files =
      ListWiringFiles(Folder("missing"), ".lvd");
  ASSERT_TRUE(files.has_value());
  EXPECT_THAT(*files, IsEmpty());
}

TEST_F(FoundFilesTest, PatternWithoutAFolderSearchesTheWorkingFolder) {
  WorkingFolderGuard guard(temp_ / "two");
  const std::optional<WiringFileList> files = FindFiles("*.lvd");
  ASSERT_TRUE(files.has_value());
  EXPECT_THAT(testing::Names(*files), ElementsAre("C", "d"));
  EXPECT_EQ(files->front().WiringPath(), "C.lvd");
}

TEST_F(FoundFilesTest, UnreadableFolderOrOddPatternFails) {
#ifdef _WIN32
  // The file search reports a name it refuses as a folder that is not there.
  EXPECT_TRUE(FindFiles(Folder(std::string(300, 'n')) + "*.lvd"));
#else
  EXPECT_FALSE(FindFiles(Folder(std::string(300, 'n')) + "*.lvd"));
#endif
  EXPECT_FALSE(FindFiles(Folder("one/A.lvd") + "*.lvd"))
      << "a file taken for a folder";
  EXPECT_FALSE(FindFiles(Folder("one") + "A*.lvd"))
      << "only * and an extension form a pattern";
}

}  // namespace
}  // namespace cordshift
