#include "platform/folder_scan.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "platform/text_file.h"
#include "support/temp_folder.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace cordshift {
namespace {

namespace fs = std::filesystem;
using ::testing::ElementsAre;
using ::testing::IsEmpty;
using testing::TempFolder;
using testing::WriteBytes;

// A name longer than any file system allows for one path component: the
// system refuses to look it up, which makes a folder that cannot be read
// even for a superuser.
const std::string kOverlongName(300, 'n');

TEST(NameOrderLessTest, OrdersLikeNtfs) {
  const struct {
    const char* what;
    std::string_view before;
    std::string_view after;
  } kCases[] = {
      {"letters ignore case", "a", "B"},
      {"letters ignore case, upper first", "B", "c"},
      {"longer name ignores case", "ab", "AC"},
      {"underscore after upper-case letters", "Z", "_"},
      {"underscore after lower-case letters", "z", "_"},
      {"underscore after letters inside a name", "aB", "a_b"},
      {"other signs between Z and a by code point", "a", "["},
      {"backquote after folded letters", "z", "`"},
      {"digits before letters", "9", "A"},
      {"numbers by code point, not value", "10", "9"},
      {"prefix first", "1", "10"},
      {"empty name first", "", "0"},
      {"equal but case: exact bytes decide", "A", "a"},
      {"equal but case inside a name", "DATA_A", "Data_a"},
      {"Japanese after ASCII", "~", "あ"},
      {"Japanese by code point", "あ", "い"},
      {"kana before kanji", "ン", "亜"},
      {"full-width letters are not folded", "Ａ", "ａ"},
      {"four-byte characters after three-byte ones", "\xEF\xBF\xBD",
       "\xF0\x9F\x98\x80"},
      {"invalid byte after every code point", "\xF4\x8F\xBF\xBF", "\x80"},
      {"invalid bytes by byte value", "\x80", "\xFF"},
      {"overlong encoding is invalid bytes", "あ", "\xC0\xAF"},
      {"truncated sequence is invalid bytes", "\xF0\x9F\x98\x80", "\xE3\x81"},
  };
  for (const auto& c : kCases) {
    EXPECT_TRUE(NameOrderLess(c.before, c.after)) << c.what;
    EXPECT_FALSE(NameOrderLess(c.after, c.before)) << c.what;
  }
}

TEST(NameOrderLessTest, SortsAFolderListing) {
  std::vector<std::string> names = {"_x", "b", "10",  "a",   "9",  "B",
                                    "あ", "A", "Z_1", "z_0", "Z0", "abc"};
  std::sort(names.begin(), names.end(), NameOrderLess);
  EXPECT_THAT(names, ElementsAre("10", "9", "A", "a", "abc", "B", "b", "Z0",
                                 "z_0", "Z_1", "_x", "あ"));
}

TEST(NameOrderLessTest, IsAStrictTotalOrder) {
  const std::vector<std::string> names = {
      "",  "a",  "A",    "_",    "aB",    "a_b",   "ab",       "AB",  "10",
      "9", "あ", "\x80", "\xFF", "a\x80", "A\x80", "\xC3\xA9", "\xC3"};
  for (const std::string& x : names) {
    EXPECT_FALSE(NameOrderLess(x, x)) << x;
    for (const std::string& y : names) {
      if (x != y) {
        EXPECT_NE(NameOrderLess(x, y), NameOrderLess(y, x)) << x << " " << y;
      }
      for (const std::string& z : names) {
        if (NameOrderLess(x, y) && NameOrderLess(y, z)) {
          EXPECT_TRUE(NameOrderLess(x, z)) << x << " " << y << " " << z;
        }
      }
    }
  }
}

class FolderScanTest : public ::testing::Test {
 protected:
  std::string Path(std::string_view relative) const {
    return (temp_ / relative).string();
  }
  void MakeFolder(std::string_view relative) const {
    fs::create_directories(temp_.path() / PathFromUtf8(relative));
  }
  void MakeFile(std::string_view relative) const {
    WriteBytes(temp_.path() / PathFromUtf8(relative), "x");
  }
  void MakeLink(std::string_view target, std::string_view relative) const {
    fs::create_symlink(target, temp_ / relative);
  }

  TempFolder temp_;
};

#ifdef _WIN32
// Only the attribute sets of plain files are taken; the file system may
// normalise a set (Wine keeps neither "normal" nor "not content-indexed"
// and reports archive instead), which is taken all the same. The search
// for "*.lvd" also returns c.lvdx through its short name.
TEST_F(FolderScanTest, ListFilesTakesPlainFilesByTheirAttributes) {
  const struct {
    const char* name;
    DWORD attributes;
  } kFiles[] = {
      {"archive.lvd", FILE_ATTRIBUTE_ARCHIVE},
      {"Read-only.LVD", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_READONLY},
      {"normal.Lvd", FILE_ATTRIBUTE_NORMAL},
      {"not-indexed.lvd", FILE_ATTRIBUTE_NOT_CONTENT_INDEXED},
      {"_z.lvd", FILE_ATTRIBUTE_ARCHIVE},
      {"hidden.lvd", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_HIDDEN},
      {"system.lvd", FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_SYSTEM},
      {"hidden-ro.lvd", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY},
      {"c.lvdx", FILE_ATTRIBUTE_ARCHIVE},
      {"x.lvd.bak", FILE_ATTRIBUTE_ARCHIVE},
      {"notes.txt", FILE_ATTRIBUTE_ARCHIVE},
  };
  for (const auto& file : kFiles) {
    MakeFile(std::string("d/") + file.name);
    ASSERT_TRUE(
        SetFileAttributesW((temp_ / "d" / file.name).c_str(), file.attributes))
        << file.name;
  }
  MakeFolder("d/D.lvd");

  const auto files = ListFilesWithExtension(Path("d"), ".lvd");
  ASSERT_TRUE(files.has_value());
  std::vector<std::string> taken;
  for (const FoundFile& file : *files) {
    taken.push_back(file.name + "|" + file.extension);
  }
  EXPECT_THAT(taken,
              ElementsAre("archive|.lvd", "normal|.Lvd", "not-indexed|.lvd",
                          "Read-only|.LVD", "_z|.lvd"));
}

TEST_F(FolderScanTest, ListFilesTakesJapaneseNames) {
  MakeFolder("d");
  for (const char* name : {"ドア左.lvd", "表示.lvd", "A.lvd"}) {
    WriteBytes(temp_ / "d" / PathFromUtf8(name), "x");
  }
  const auto files = ListFilesWithExtension(Path("d"), ".lvd");
  ASSERT_TRUE(files.has_value());
  std::vector<std::string> names;
  for (const FoundFile& file : *files) names.push_back(file.name);
  EXPECT_THAT(names, ElementsAre("A", "ドア左", "表示"));
}
#else
TEST_F(FolderScanTest, ListFilesTakesVisibleFilesWithTheExtension) {
  MakeFolder("d");
  MakeFile("d/A.lvd");
  MakeFile("d/b.LVD");
  MakeFile("d/Z.Lvd");
  MakeFile("d/_z.lvd");
  MakeFile("d/.hidden.lvd");
  MakeFile("d/.lvd");
  MakeFile("d/c.lvdx");
  MakeFile("d/x.lvd.bak");
  MakeFile("d/lvd");
  MakeFile("d/notes.txt");
  MakeFolder("d/D.lvd");
  MakeFolder("target");
  MakeLink(Path("target"), "d/E.lvd");
  MakeLink(Path("d/A.lvd"), "d/F.lvd");
  MakeLink(Path("d/missing"), "d/G.lvd");

  const auto files = ListFilesWithExtension(Path("d"), ".lvd");
  ASSERT_TRUE(files.has_value());
  std::vector<std::string> taken;
  for (const FoundFile& file : *files) {
    taken.push_back(file.name + "|" + file.extension);
  }
  EXPECT_THAT(taken,
              ElementsAre("A|.lvd", "b|.LVD", "F|.lvd", "Z|.Lvd", "_z|.lvd"));
}
#endif

TEST_F(FolderScanTest, ListFilesOfAFolderThatIsNotThere) {
  MakeFile("file.lvd");
  const struct {
    const char* what;
    std::string folder;
    bool listed;
  } kCases[] = {
      {"missing folder is an empty listing", Path("missing"), true},
      {"missing parent is an empty listing", Path("missing/deeper"), true},
      {"a file is not a folder", Path("file.lvd"), false},
      {"a file taken for a folder", Path("file.lvd/"), false},
#ifdef _WIN32
      // The file search reports both as a path that is not there.
      {"below a file", Path("file.lvd/deeper"), true},
      {"a name the system refuses", Path(kOverlongName), true},
#else
      {"below a file", Path("file.lvd/deeper"), false},
      {"a name the system refuses", Path(kOverlongName), false},
#endif
  };
  for (const auto& c : kCases) {
    const auto files = ListFilesWithExtension(c.folder, ".lvd");
    EXPECT_EQ(files.has_value(), c.listed) << c.what;
    if (files) {
      EXPECT_THAT(*files, IsEmpty()) << c.what;
    }
  }
}

TEST_F(FolderScanTest, ListSubfoldersSortsAndSkipsLinksAndFiles) {
  for (const char* name : {"b", "A", "_x", "10", "9", ".git", "あ"}) {
    MakeFolder(std::string("d/") + name + "/inner");
  }
  MakeFile("d/F");
#ifndef _WIN32
  MakeFolder("target");
  MakeLink(Path("target"), "d/L");
#endif

  const auto names = ListSubfolders(Path("d"));
  ASSERT_TRUE(names.has_value());
  EXPECT_THAT(*names, ElementsAre(".git", "10", "9", "A", "b", "_x", "あ"));
}

TEST_F(FolderScanTest, ListSubfoldersFailsWithoutAReadableFolder) {
  MakeFolder("empty");
  MakeFile("file");
  EXPECT_THAT(ListSubfolders(Path("empty")), ::testing::Optional(IsEmpty()));
#ifndef _WIN32
  MakeFolder("target");
  MakeLink(Path("target"), "link");
  EXPECT_THAT(ListSubfolders(Path("link")), ::testing::Optional(IsEmpty()))
      << "a root given as a link is read through it";
#endif
  EXPECT_EQ(ListSubfolders(Path("missing")), std::nullopt);
  EXPECT_EQ(ListSubfolders(Path("file")), std::nullopt);
  EXPECT_EQ(ListSubfolders(Path(kOverlongName)), std::nullopt);
}

TEST_F(FolderScanTest, ExistenceTests) {
  MakeFolder("folder");
  MakeFile("file");
#ifndef _WIN32
  MakeLink(Path("missing"), "dangling");
#endif
  const struct {
    const char* name;
    bool exists;
    bool is_folder;
  } kCases[] = {
      {"folder", true, true},       {"file", true, false},
      {"missing", false, false},
#ifndef _WIN32
      {"dangling", false, false},
#endif
      {"file/below", false, false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(PathExists(Path(c.name)), c.exists) << c.name;
    EXPECT_EQ(FolderExists(Path(c.name)), c.is_folder) << c.name;
  }
}

TEST_F(FolderScanTest, CreateFolderSaysWhyTheFolderIsNotThereAfterwards) {
  MakeFolder("folder");
  MakeFile("file");
  EXPECT_EQ(CreateFolder(Path("new")), FolderCreateError::kNone);
  EXPECT_TRUE(fs::is_directory(temp_ / "new"));
  EXPECT_EQ(CreateFolder(Path("folder")), FolderCreateError::kNone);
  EXPECT_EQ(CreateFolder(Path("file")), FolderCreateError::kFileInTheWay);
  EXPECT_TRUE(fs::is_regular_file(temp_ / "file"));
  EXPECT_EQ(CreateFolder(Path("missing/new")), FolderCreateError::kNoParent);
  EXPECT_FALSE(fs::exists(temp_ / "missing"));
}

// The causes the system gives, which a superuser's test cannot provoke.
TEST(FolderCreateErrorTest, SystemErrorsNameTheirCause) {
  const struct {
    std::error_code error;
    FolderCreateError expected;
  } kCases[] = {
      {{}, FolderCreateError::kNone},
#ifdef _WIN32
      {{ERROR_WRITE_PROTECT, std::system_category()},
       FolderCreateError::kReadOnlyFileSystem},
      {{ERROR_ACCESS_DENIED, std::system_category()},
       FolderCreateError::kPermissionDenied},
      {{ERROR_ALREADY_EXISTS, std::system_category()},
       FolderCreateError::kFileInTheWay},
      {{ERROR_PATH_NOT_FOUND, std::system_category()},
       FolderCreateError::kNoParent},
      {{ERROR_BAD_NETPATH, std::system_category()},
       FolderCreateError::kNoParent},
      {{ERROR_FILENAME_EXCED_RANGE, std::system_category()},
       FolderCreateError::kPathTooLong},
      {{ERROR_DISK_FULL, std::system_category()}, FolderCreateError::kOther},
#else
      {{EROFS, std::system_category()}, FolderCreateError::kReadOnlyFileSystem},
      {{EACCES, std::system_category()}, FolderCreateError::kPermissionDenied},
      {{EPERM, std::system_category()}, FolderCreateError::kPermissionDenied},
      {{EEXIST, std::system_category()}, FolderCreateError::kFileInTheWay},
      {{ENOTDIR, std::system_category()}, FolderCreateError::kFileInTheWay},
      {{ENOENT, std::system_category()}, FolderCreateError::kNoParent},
      {{ENAMETOOLONG, std::system_category()}, FolderCreateError::kPathTooLong},
      {{ENOSPC, std::system_category()}, FolderCreateError::kOther},
#endif
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FolderCreateErrorOf(c.error), c.expected) << c.error.message();
  }
}

TEST_F(FolderScanTest, IsSameFolder) {
  MakeFolder("a/b");
  MakeFolder("c");
  MakeFile("file");
#ifndef _WIN32
  MakeLink(Path("a"), "link");
#endif
  const struct {
    std::string x;
    std::string y;
    bool same;
  } kCases[] = {
      {Path("a"), Path("a"), true},
      {Path("a"), Path("a/"), true},
      {Path("a"), Path("a/b/.."), true},
#ifndef _WIN32
      {Path("a"), Path("link"), true},
#endif
      {Path("a"), Path("c"), false},
      {Path("a"), Path("a/b"), false},
      {Path("missing"), Path("missing"), false},
      {Path("file"), Path("file"), false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(IsSameFolder(c.x, c.y), c.same) << c.x << " vs " << c.y;
  }
}

TEST_F(FolderScanTest, IsInsideFolder) {
  MakeFolder("src/a");
  MakeFolder("src-x");
  MakeFolder("elsewhere");
#ifndef _WIN32
  MakeLink(Path("elsewhere"), "src/out-link");
  MakeLink(Path("src/a"), "into-src");
#endif
  const struct {
    std::string inner;
    std::string outer;
    bool inside;
  } kCases[] = {
      {Path("src/a"), Path("src"), true},
      {Path("src"), Path("src"), true},
      {Path("src/"), Path("src"), true},
      {Path("src"), Path("src/"), true},
      {Path("src/a/../a"), Path("src/"), true},
      {Path("src/new/deeper/"), Path("src"), true},
      {Path("src-x"), Path("src"), false},
      {Path("src"), Path("src/a"), false},
      {Path("src/a/.."), Path("src/a"), false},
#ifndef _WIN32
      {Path("into-src/x"), Path("src"), true},
      {Path("src/out-link/x"), Path("src"), false},
#endif
      {"", Path("src"), false},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(IsInsideFolder(c.inner, c.outer), c.inside)
        << c.inner << " in " << c.outer;
  }
}

}  // namespace
}  // namespace cordshift
