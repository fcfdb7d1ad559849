#include "platform/ini_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "platform/folder_listing.h"
#include "platform/text_file.h"
#include "support/sjis_samples.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

using testing::Cat;
using testing::kA;
using testing::kDi;
using testing::kHyo;
using testing::kZo;
namespace fs = std::filesystem;
using ::testing::ElementsAre;
using testing::FolderEntries;
using ::testing::IsEmpty;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

const std::string kSettings =
    "top=before any section\r\n"
    "[Path]\r\n"
    "SrcDir=C:\\Data\\\r\n"
    "  DstDir  =  D:\\Out dir\\ \t\r\n"
    "\tQuoted=\"  padded  \"\r\n"
    "Single=  'x y'  \r\n"
    "Mixed=\"x'\r\n"
    "OneQuote=\"\r\n"
    "Inner=a \"b\" c\r\n"
    "TwoPairs=\"\"a\"\"\r\n"
    "Empty=\r\n"
    "Blanks=   \t\r\n"
    "dup=first\r\n"
    "DUP=second\r\n"
    "; Comment=hidden\r\n"
    "  ;Indented=hidden\r\n"
    "#Hash=shown\r\n"
    "NoEquals\r\n"
    "Eq=a=b\r\n"
    "Semi=a ; not a comment\r\n"
    "[Other] trailing text\r\n"
    "Key=other\r\n"
    "[path]\r\n"
    "SrcDir=second section\r\n"
    "Late=only in the second section\r\n";

struct ReadCase {
  const char* what;
  std::string content;
  std::string section;
  std::string key;
  std::optional<std::string> value;
};

TEST(IniReadTest, FindsValuesLikeTheProfileApi) {
  const std::string long_value(500, 'v');
  const ReadCase kCases[] = {
      {"plain", kSettings, "Path", "SrcDir", "C:\\Data\\"},
      {"case of names ignored", kSettings, "PATH", "srcdir", "C:\\Data\\"},
      {"caller's blanks removed", kSettings, " Path\t", "\tSrcDir ",
       "C:\\Data\\"},
      {"blanks around key and value", kSettings, "Path", "DstDir",
       "D:\\Out dir\\"},
      {"double quotes removed, inner blanks kept", kSettings, "Path", "Quoted",
       "  padded  "},
      {"single quotes removed after trimming", kSettings, "Path", "Single",
       "x y"},
      {"mismatched quotes kept", kSettings, "Path", "Mixed", "\"x'"},
      {"one quote kept", kSettings, "Path", "OneQuote", "\""},
      {"inner quotes kept", kSettings, "Path", "Inner", "a \"b\" c"},
      {"only one pair removed", kSettings, "Path", "TwoPairs", "\"a\""},
      {"empty value", kSettings, "Path", "Empty", ""},
      {"value of blanks", kSettings, "Path", "Blanks", ""},
      {"first key wins", kSettings, "Path", "Dup", "first"},
      {"comment line is no key", kSettings, "Path", "; Comment", std::nullopt},
      {"key of comment line", kSettings, "Path", "Comment", std::nullopt},
      {"indented comment", kSettings, "Path", ";Indented", std::nullopt},
      {"hash is not a comment", kSettings, "Path", "#Hash", "shown"},
      {"line without equals", kSettings, "Path", "NoEquals", std::nullopt},
      {"value holds equals", kSettings, "Path", "Eq", "a=b"},
      {"semicolon inside value", kSettings, "Path", "Semi",
       "a ; not a comment"},
      {"header with trailing text", kSettings, "Other", "Key", "other"},
      {"trailing text not in name", kSettings, "Other] trailing text", "Key",
       std::nullopt},
      {"only first section searched", kSettings, "Path", "Late", std::nullopt},
      {"key from another section", kSettings, "Path", "Key", std::nullopt},
      {"lines before first header", kSettings, "", "top", std::nullopt},
      {"missing section", kSettings, "Missing", "SrcDir", std::nullopt},
      {"missing key", kSettings, "Path", "Missing", std::nullopt},
      {"empty text", "", "Path", "SrcDir", std::nullopt},
      {"lone LF ends a line", "[A]\nk=1\nz=2", "A", "k", "1"},
      {"lone CR ends a line", "[A]\rk=1\rz=2", "A", "k", "1"},
      {"last line without line end", "[A]\r\nk=1\r\nz=2", "A", "z", "2"},
      {"blank lines between", "[A]\r\n\r\n  \r\n\nk=1\r\n", "A", "k", "1"},
      {"bracket without close is no header", "[A]\r\n[B\r\nk=1\r\n", "A", "k",
       "1"},
      {"bracket without close, section", "[A]\r\n[B\r\nk=1\r\n", "B", "k",
       std::nullopt},
      {"bracket line with equals is a key", "[A]\r\n[B=x\r\n", "A", "[B", "x"},
      {"last close bracket ends the name", "[a]b] c\r\nk=1\r\n", "a]b", "k",
       "1"},
      {"name up to last bracket only", "[a]b] c\r\nk=1\r\n", "a", "k",
       std::nullopt},
      {"blanks inside brackets", " [ \tName \t] \r\nk=1\r\n", "name", "k", "1"},
      {"indented header", "\t[A]\r\nk=1\r\n", "A", "k", "1"},
      {"trail byte 0x5D is no close bracket", Cat({"[A]\r\n[", kZo, "\r\nk=1"}),
       "A", "k", "1"},
      {"trail byte 0x5D inside a header", Cat({"[", kZo, "]\r\nk=1"}),
       std::string(kZo), "k", "1"},
      {"japanese names", Cat({"[", kHyo, kDi, "x]\r\n", kDi, "=1\r\n"}),
       Cat({kHyo, kDi, "X"}), std::string(kDi), "1"},
      {"trail byte not case-folded in section", Cat({"[", kDi, "]\r\nk=1\r\n"}),
       std::string(kA), "k", std::nullopt},
      {"trail byte not case-folded in key", Cat({"[s]\r\n", kA, "=1\r\n"}), "s",
       std::string(kDi), std::nullopt},
      {"value over 299 bytes returned whole", "[A]\r\nk=" + long_value + "\r\n",
       "A", "k", long_value},
      {"japanese value", Cat({"[A]\r\nk= ", kHyo, kZo, " \r\n"}), "A", "k",
       Cat({kHyo, kZo})},
  };
  for (const ReadCase& c : kCases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(FindIniValue(c.content, c.section, c.key), c.value);
  }
}

TEST(IniReadTest, ReadsFromFile) {
  TempFolder folder;
  WriteBytes(folder / "a.ini", "[Purpose]\r\nComment=hello\r\n");
  EXPECT_EQ(ReadIniFileValue(folder / "a.ini", "Purpose", "Comment"), "hello");
  EXPECT_EQ(ReadIniFileValue(folder / "a.ini", "Purpose", "Other"),
            std::nullopt);
  EXPECT_EQ(ReadIniFileValue(folder / "missing.ini", "Purpose", "Comment"),
            std::nullopt);
  EXPECT_EQ(ReadIniFileValue(folder.path(), "Purpose", "Comment"),
            std::nullopt);
}

struct WriteCase {
  const char* what;
  std::optional<std::string> before;  // no value: no file
  std::string section;
  std::string key;
  std::string value;
  std::string after;
};

TEST(IniWriteTest, ChangesOnlyWhatTheWriteNeeds) {
  const WriteCase kCases[] = {
      {"new file", std::nullopt, "Path", "SrcDir", "C:\\x\\",
       "[Path]\r\nSrcDir=C:\\x\\\r\n"},
      {"new file, caller's blanks removed", std::nullopt, " Path\t", " k ", "v",
       "[Path]\r\nk=v\r\n"},
      {"new file, empty value", std::nullopt, "P", "k", "", "[P]\r\nk=\r\n"},
      {"empty file", "", "P", "k", "v", "[P]\r\nk=v\r\n"},
      {"key replaced in file's spelling",
       "[Path]\r\nSrcDir=old\r\nDstDir=d\r\n", "path", "srcdir", "new",
       "[Path]\r\nSrcDir=new\r\nDstDir=d\r\n"},
      {"key line trimmed, odd line ends kept", "[P]\n  Key \t= old \r\nX=1\r",
       "P", "key", "v", "[P]\nKey=v\r\nX=1\r"},
      {"lone CR after key kept", "[P]\rk=1\rz=2", "P", "k", "9",
       "[P]\rk=9\rz=2"},
      {"key at end without line end", "[P]\r\nk=1", "P", "k", "22",
       "[P]\r\nk=22"},
      {"first of two keys", "[P]\r\nk=1\r\nK=2\r\n", "P", "k", "new",
       "[P]\r\nk=new\r\nK=2\r\n"},
      {"first section only", "[P]\r\nk=1\r\n[p]\r\nk=2\r\n", "P", "k", "3",
       "[P]\r\nk=3\r\n[p]\r\nk=2\r\n"},
      {"quoted value replaced", "[P]\r\nk=\"a b\"\r\n", "P", "k", "c",
       "[P]\r\nk=c\r\n"},
      {"key inserted before blank lines",
       "[A]\r\na=1\r\n\r\n\r\n[B]\r\nb=1\r\n", "A", "n", "v",
       "[A]\r\na=1\r\nn=v\r\n\r\n\r\n[B]\r\nb=1\r\n"},
      {"key inserted after header", "[A]\r\n\r\n[B]\r\n", "a", "n", "v",
       "[A]\r\nn=v\r\n\r\n[B]\r\n"},
      {"key inserted at end without line end", "[A]\r\na=1", "A", "n", "v",
       "[A]\r\na=1\r\nn=v\r\n"},
      {"key inserted after header without line end", "[A]", "A", "n", "v",
       "[A]\r\nn=v\r\n"},
      {"key inserted before trailing blank lines", "[A]\r\na=1\r\n\r\n", "A",
       "n", "v", "[A]\r\na=1\r\nn=v\r\n\r\n"},
      {"key inserted after comment", "[A]\r\na=1\r\n; note\r\n\r\n[B]", "A",
       "n", "v", "[A]\r\na=1\r\n; note\r\nn=v\r\n\r\n[B]"},
      {"key inserted among LF line ends", "[A]\na=1\n\n[B]\n", "A", "n", "v",
       "[A]\na=1\nn=v\r\n\n[B]\n"},
      {"line of blanks counts as blank", "[A]\r\na=1\r\n  \t\r\n[B]\r\n", "A",
       "n", "v", "[A]\r\na=1\r\nn=v\r\n  \t\r\n[B]\r\n"},
      {"key inserted into first section only", "[A]\r\na=1\r\n[A]\r\nb=2\r\n",
       "A", "b", "3", "[A]\r\na=1\r\nb=3\r\n[A]\r\nb=2\r\n"},
      {"section appended", "[A]\r\na=1\r\n", "B", "b", "2",
       "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
      {"section appended after missing line end", "[A]\r\na=1", "B", "b", "2",
       "[A]\r\na=1\r\n[B]\r\nb=2\r\n"},
      {"section appended after lone LF", "x\n", "B", "b", "2",
       "x\n[B]\r\nb=2\r\n"},
      {"section appended after lone CR", "x\r", "B", "b", "2",
       "x\r[B]\r\nb=2\r\n"},
      {"section appended after blank lines", "[A]\r\n\r\n", "B", "b", "2",
       "[A]\r\n\r\n[B]\r\nb=2\r\n"},
      {"lines before first header are no section", "k=1\r\n", "", "k", "2",
       "k=1\r\n[]\r\nk=2\r\n"},
      {"trail byte not case-folded", Cat({"[", kA, "]\r\nk=1\r\n"}),
       std::string(kDi), "k", "2",
       Cat({"[", kA, "]\r\nk=1\r\n[", kDi, "]\r\nk=2\r\n"})},
      {"japanese key replaced", Cat({"[", kHyo, "]\r\n", kDi, "=1\r\n"}),
       std::string(kHyo), std::string(kDi), std::string(kZo),
       Cat({"[", kHyo, "]\r\n", kDi, "=", kZo, "\r\n"})},
      {"other bytes kept", "\xEF\xBB\xBF;x\r\n[P]\x1A\r\nk=1\r\n", "P", "k",
       "2", "\xEF\xBB\xBF;x\r\n[P]\x1A\r\nk=2\r\n"},
      {"leading blank kept in quotes", "[P]\r\nk=1\r\n", "P", "k", " v",
       "[P]\r\nk=\" v\"\r\n"},
      {"trailing tab kept in quotes", "", "P", "k", "v\t",
       "[P]\r\nk=\"v\t\"\r\n"},
      {"quoted value keeps its quotes", "", "P", "k", "'v'",
       "[P]\r\nk=\"'v'\"\r\n"},
      {"lone quote written as it is", "", "P", "k", "\"v", "[P]\r\nk=\"v\r\n"},
  };
  for (const WriteCase& c : kCases) {
    SCOPED_TRACE(c.what);
    TempFolder folder;
    const fs::path file = folder / "data.ini";
    if (c.before) WriteBytes(file, *c.before);
    EXPECT_EQ(SetIniValue(c.before.value_or(""), c.section, c.key, c.value),
              c.after);
    ASSERT_TRUE(WriteIniFileValue(file, c.section, c.key, c.value));
    EXPECT_EQ(ReadBytes(file), c.after);
    EXPECT_EQ(ReadIniFileValue(file, c.section, c.key), c.value);
    EXPECT_THAT(FolderEntries(folder.path()), ElementsAre("data.ini"));
  }
}

TEST(IniWriteTest, FailsWithoutChangingAnything) {
  TempFolder folder;
  const fs::path read_only = folder / "read-only.ini";
  const std::string content = "[P]\r\nk=1\r\n";
  WriteBytes(read_only, content);
  testing::MakeReadOnly(read_only);
  fs::create_directory(folder / "sub.ini");

  EXPECT_FALSE(WriteIniFileValue(read_only, "P", "k", "2"));
  EXPECT_EQ(ReadBytes(read_only), content);
  EXPECT_FALSE(WriteIniFileValue(folder / "missing" / "a.ini", "P", "k", "2"));
  EXPECT_FALSE(fs::exists(folder / "missing"));
  EXPECT_FALSE(WriteIniFileValue(folder / "sub.ini", "P", "k", "2"));
  EXPECT_THAT(FolderEntries(folder / "sub.ini"), IsEmpty());
#ifndef _WIN32
  // An entry that exists but cannot be read is not replaced by a new file.
  fs::create_symlink("loop.ini", folder / "loop.ini");
  EXPECT_FALSE(WriteIniFileValue(folder / "loop.ini", "P", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(folder / "loop.ini"));
  EXPECT_EQ(FolderEntries(folder.path()).size(), 3u);
#else
  EXPECT_EQ(FolderEntries(folder.path()).size(), 2u);
#endif
}

}  // namespace
}  // namespace cordshift
