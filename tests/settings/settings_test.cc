#include "settings/settings.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <string>
#include <vector>

#include "platform/folder_path.h"
#include "present/recording_display.h"
#include "support/temp_folder.h"

namespace cordshift {
namespace {

using testing::MakeReadOnly;
using testing::NativeSeparators;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr char kSep = kFolderSeparator;
constexpr Direction kC2H = Direction::kContinuityToHipot;
constexpr Direction kH2C = Direction::kHipotToContinuity;
constexpr Notation kAb = Notation::kAb;
constexpr Notation kSeq = Notation::kSequential;

class SettingsTest : public ::testing::Test {
 protected:
  std::filesystem::path IniPath() const { return folder_ / "Cordshift.ini"; }
  std::string DefaultFolder() const {
    return folder_.path().string() + kSep + "Data" + kSep;
  }
  SettingsStore Store() const {
    return SettingsStore(IniPath(), DefaultFolder());
  }

  Settings LoadFrom(const std::string& ini_text) {
    WriteBytes(IniPath(), ini_text);
    Settings settings;
    EXPECT_TRUE(Store().LoadSettings(settings));
    return settings;
  }

  TempFolder folder_;
};

TEST_F(SettingsTest, MissingFileGivesEveryDefault) {
  Settings settings;
  ASSERT_TRUE(Store().LoadSettings(settings));
  EXPECT_EQ(settings.source_folder, DefaultFolder());
  EXPECT_EQ(settings.destination_folder, DefaultFolder());
  EXPECT_EQ(settings.direction, kC2H);
  EXPECT_EQ(settings.notation, kAb);
  EXPECT_EQ(settings.model_name, "");
  EXPECT_EQ(settings.lower, "0");
  EXPECT_EQ(settings.upper, "2000");
  EXPECT_FALSE(settings.overwrite);
}

TEST(SettingsPathTest, FileIsNamedAfterTheExecutableBesideIt) {
  EXPECT_EQ(SettingsFilePath("/opt/tools/Cordshift"),
            std::filesystem::path("/opt/tools/Cordshift.ini"));
  EXPECT_EQ(SettingsFilePath("/opt/tools/Renamed.exe"),
            std::filesystem::path("/opt/tools/Renamed.ini"));
  EXPECT_EQ(DefaultDataFolder("/opt/tools/Cordshift"),
            std::string("/opt/tools") + kSep + "Data" + kSep);
  EXPECT_EQ(DocumentsDataFolder("/home/u/Documents"),
            std::string("/home/u/Documents") + kSep + "Cordshift" + kSep +
                "Data" + kSep);
}

struct FlagCase {
  const char* stored;
  const char* expected;
};

class DirectionFlagTest : public SettingsTest,
                          public ::testing::WithParamInterface<FlagCase> {};

TEST_P(DirectionFlagTest, OnlyExactZeroOrOneIsTaken) {
  const Settings settings =
      LoadFrom(std::string("[Direction]\r\nHp2Lv=") + GetParam().stored +
               "\r\nABorSeq=" + GetParam().stored +
               "\r\n[Inspection]\r\n"
               "OverWrite=" +
               GetParam().stored + "\r\n");
  const bool set = std::string_view(GetParam().expected) == "1";
  EXPECT_EQ(settings.direction, set ? kH2C : kC2H);
  EXPECT_EQ(settings.notation, set ? kSeq : kAb);
  EXPECT_EQ(settings.overwrite, set);
}

INSTANTIATE_TEST_SUITE_P(
    Values, DirectionFlagTest,
    ::testing::Values(FlagCase{"1", "1"}, FlagCase{"0", "0"},
                      FlagCase{"  1  ", "1"}, FlagCase{"2", "0"},
                      FlagCase{"one", "0"}, FlagCase{"01", "0"},
                      FlagCase{"1.0", "0"}, FlagCase{"ERR", "0"},
                      FlagCase{"", "0"}));

struct LimitCase {
  const char* lower;  // nullptr: key absent
  const char* upper;
  const char* expected_lower;
  const char* expected_upper;
};

class LimitTest : public SettingsTest,
                  public ::testing::WithParamInterface<LimitCase> {};

TEST_P(LimitTest, UpperCountsOnlyWithAPositiveLowerBelowIt) {
  std::string ini = "[Inspection]\r\n";
  if (GetParam().lower)
    ini += std::string("Lower=") + GetParam().lower + "\r\n";
  if (GetParam().upper)
    ini += std::string("Upper=") + GetParam().upper + "\r\n";
  const Settings settings = LoadFrom(ini);
  EXPECT_EQ(settings.lower, GetParam().expected_lower);
  EXPECT_EQ(settings.upper, GetParam().expected_upper);
}

INSTANTIATE_TEST_SUITE_P(
    Values, LimitTest,
    ::testing::Values(LimitCase{"0", "5000", "0", "2000"},
                      LimitCase{"100", "50", "0", "2000"},
                      LimitCase{"100", "3000", "100", "3000"},
                      LimitCase{" 0150 ", "3000", "150", "3000"},
                      LimitCase{"12.5", "3000", "12", "3000"},
                      LimitCase{"13.5", "3000", "14", "3000"},
                      LimitCase{"1e2", "2e3", "100", "2000"},
                      LimitCase{"100", "100", "0", "2000"},
                      LimitCase{"-5", "3000", "0", "2000"},
                      LimitCase{"abc", "3000", "0", "2000"},
                      LimitCase{"100", "abc", "0", "2000"},
                      LimitCase{"100", nullptr, "0", "2000"},
                      LimitCase{nullptr, "3000", "0", "2000"},
                      LimitCase{"ERR", "3000", "0", "2000"},
                      // Beyond 32 bits: a limit that is no valid limit, not
                      // a file that keeps the program from starting.
                      LimitCase{"2147483648", "3000", "0", "2000"},
                      LimitCase{"-2147483649", "3000", "0", "2000"},
                      LimitCase{"100", "2147483648", "0", "2000"},
                      LimitCase{"100", "99999999999", "0", "2000"},
                      LimitCase{"100", "2147483647", "100", "2147483647"}));

TEST_F(SettingsTest, FoldersGetTheirFinalSeparator) {
  const Settings settings =
      LoadFrom("[Path]\r\nSrcDir=/data/in\r\nDstDir=\r\n");
  EXPECT_EQ(settings.source_folder, std::string("/data/in") + kSep);
  EXPECT_EQ(settings.destination_folder, std::string(1, kSep));
}

TEST_F(SettingsTest, StoredTextsAreShiftJisAndComeBackAsUtf8) {
  // 表示機 (with the 0x5C trail byte of 表) and a folder named ソフト.
  // On Windows the folder's separator follows the trail byte 0x5C of ソ.
  const Settings settings =
      LoadFrom(std::string("[Path]\r\nSrcDir=") + kSep + "d" + kSep +
               "\x83\x5c\x83\x74\x83\x67" + kSep +
               "\r\n"
               "[Inspection]\r\nEquipment=  \x95\x5c\x8e\xa6\x8b\x40  \r\n");
  EXPECT_EQ(settings.model_name, "表示機");
  EXPECT_EQ(settings.source_folder, NativeSeparators("/d/ソフト/"));
}

#ifdef _WIN32
constexpr std::size_t kLongestPath = 32767;
#else
constexpr std::size_t kLongestPath = PATH_MAX - 1;
#endif

struct FolderLengthCase {
  const char* name;
  std::size_t length;  // of the folder text, final separator included
  bool kept;
};

class FolderLengthTest
    : public SettingsTest,
      public ::testing::WithParamInterface<FolderLengthCase> {};

TEST_P(FolderLengthTest, FolderLongerThanAPathTakesTheDefault) {
  const std::string folder =
      kSep + std::string(GetParam().length - 2, 'a') + kSep;
  const Settings settings =
      LoadFrom("[Path]\r\nSrcDir=" + folder + "\r\nDstDir=" + folder + "\r\n");
  const std::string expected = GetParam().kept ? folder : DefaultFolder();
  EXPECT_EQ(settings.source_folder, expected);
  EXPECT_EQ(settings.destination_folder, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Lengths, FolderLengthTest,
    ::testing::Values(FolderLengthCase{"Longest", kLongestPath, true},
                      FolderLengthCase{"OneTooLong", kLongestPath + 1, false},
                      FolderLengthCase{"OneMegabyte", 1 << 20, false}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(SettingsTest, FileWithByteOrderMarkIsReadAsUtf8) {
  // The last byte of あ in UTF-8 is a lead byte in code page 932, which
  // would take the "]" for its trail byte: read the code page's way, [あ]
  // would be no section and the destination folder's key would count as a
  // key of [Path].
  const Settings settings =
      LoadFrom(NativeSeparators("\xEF\xBB\xBF[Path]\r\nSrcDir=/u/Café/\r\n"
                                "[あ]\r\nDstDir=/not/\r\n"
                                "[Inspection]\r\nEquipment= 型式—A \r\n"
                                "[Direction]\r\nHp2Lv=1\r\n"));
  EXPECT_EQ(settings.source_folder, NativeSeparators("/u/Café/"));
  EXPECT_EQ(settings.destination_folder, DefaultFolder());
  EXPECT_EQ(settings.model_name, "型式—A");
  EXPECT_EQ(settings.direction, kH2C);

  // Code page 932 bytes are no UTF-8 and read as missing.
  EXPECT_EQ(
      LoadFrom("\xEF\xBB\xBF[Inspection]\r\nEquipment=\x95\x5c\r\n").model_name,
      "");
}

TEST_F(SettingsTest, SaveIntoEmptyFolderWritesTheElevenLines) {
  Settings settings{"/a/", "/b/", kH2C, kAb, "TBS480", "0", "2000", true};
  RecordingDisplay messages;
  ASSERT_TRUE(Store().SaveSettings(settings, messages));
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_EQ(ReadBytes(IniPath()),
            "[Path]\r\nSrcDir=/a/\r\nDstDir=/b/\r\n"
            "[Direction]\r\nHp2Lv=1\r\nABorSeq=0\r\n"
            "[Inspection]\r\nEquipment=TBS480\r\nLower=0\r\nUpper=2000\r\n"
            "OverWrite=1\r\n");
}

TEST_F(SettingsTest, SaveKeepsForeignContentAndReplacesKeysInPlace) {
  WriteBytes(IniPath(),
             "; kept comment\r\n[Inspection]\r\nupper=9\r\nNote=x\r\n\r\n"
             "[Other]\r\nA=1\r\n");
  Settings settings{"/a/", "/b/", kC2H, kSeq, "", "0", "2000", false};
  RecordingDisplay messages;
  ASSERT_TRUE(Store().SaveSettings(settings, messages));
  EXPECT_EQ(ReadBytes(IniPath()),
            "; kept comment\r\n[Inspection]\r\nupper=2000\r\nNote=x\r\n"
            "Equipment=\r\nLower=0\r\nOverWrite=0\r\n\r\n"
            "[Other]\r\nA=1\r\n"
            "[Path]\r\nSrcDir=/a/\r\nDstDir=/b/\r\n"
            "[Direction]\r\nHp2Lv=0\r\nABorSeq=1\r\n");
}

TEST_F(SettingsTest, SavedSettingsLoadBackUnchanged) {
  Settings saved{NativeSeparators("/in/表/"),
                 NativeSeparators("/out/ヂ/"),
                 kH2C,
                 kSeq,
                 "能力計",
                 "10",
                 "300",
                 true};
  RecordingDisplay messages;
  ASSERT_TRUE(Store().SaveSettings(saved, messages));
  Settings loaded;
  ASSERT_TRUE(Store().LoadSettings(loaded));
  EXPECT_EQ(loaded.source_folder, saved.source_folder);
  EXPECT_EQ(loaded.destination_folder, saved.destination_folder);
  EXPECT_EQ(loaded.direction, saved.direction);
  EXPECT_EQ(loaded.notation, saved.notation);
  EXPECT_EQ(loaded.model_name, saved.model_name);
  EXPECT_EQ(loaded.lower, saved.lower);
  EXPECT_EQ(loaded.upper, saved.upper);
  EXPECT_EQ(loaded.overwrite, saved.overwrite);
}

TEST_F(SettingsTest, ReadOnlyFileFailsWithOneMessageAndStaysUnchanged) {
  const std::string before = "[Path]\r\nSrcDir=/old/\r\n";
  WriteBytes(IniPath(), before);
  MakeReadOnly(IniPath());
  RecordingDisplay messages;
  EXPECT_FALSE(Store().SaveSettings(
      Settings{"/a/", "/b/", kC2H, kAb, "", "0", "2000", false}, messages));
  EXPECT_EQ(messages.messages(),
            (std::vector<RecordedMessage>{
                {kSettingsSaveFailedText, MessageIcon::kInformation}}));
  EXPECT_EQ(ReadBytes(IniPath()), before);
}

constexpr char kBom[] = "\xEF\xBB\xBF";

// The eight keys as a save into an empty file writes them, with the given
// source folder and model name in the file's encoding.
std::string SavedKeys(const std::string& source_folder,
                      const std::string& model_name) {
  return "[Path]\r\nSrcDir=" + source_folder +
         "\r\nDstDir=/b/\r\n[Direction]\r\nHp2Lv=1\r\nABorSeq=0\r\n"
         "[Inspection]\r\nEquipment=" +
         model_name + "\r\nLower=0\r\nUpper=2000\r\nOverWrite=1\r\n";
}

struct EncodingCase {
  const char* name;
  std::string before;  // the file's bytes before the save
  const char* source_folder;
  const char* model_name;
  std::string after;
};

class SaveEncodingTest : public SettingsTest,
                         public ::testing::WithParamInterface<EncodingCase> {};

TEST_P(SaveEncodingTest, FileIsShiftJisUnlessAValueIsNot) {
  const EncodingCase& c = GetParam();
  WriteBytes(IniPath(), c.before);
  const Settings saved{c.source_folder, "/b/", kH2C,   kAb,
                       c.model_name,    "0",   "2000", true};
  RecordingDisplay messages;
  ASSERT_TRUE(Store().SaveSettings(saved, messages));
  EXPECT_TRUE(messages.messages().empty());
  EXPECT_EQ(ReadBytes(IniPath()), c.after);

  Settings loaded;
  ASSERT_TRUE(Store().LoadSettings(loaded));
  EXPECT_EQ(loaded.source_folder, WithTrailingSeparator(saved.source_folder));
  EXPECT_EQ(loaded.model_name, saved.model_name);
}

// 設定 and 表 in code page 932; 〜 (U+301C), − (U+2212), — (U+2014) and ¥
// have look-alikes there that read back as other characters.
INSTANTIATE_TEST_SUITE_P(
    Files, SaveEncodingTest,
    ::testing::Values(
        EncodingCase{"Accent", "; \x90\xdd\x92\xe8\r\n[Other]\r\nA=1\r\n",
                     "/u/Café/", "TBS",
                     std::string(kBom) + "; 設定\r\n[Other]\r\nA=1\r\n" +
                         SavedKeys("/u/Café/", "TBS")},
        EncodingCase{"WaveDash", "", "/u/4月〜6月/", "TBS",
                     kBom + SavedKeys("/u/4月〜6月/", "TBS")},
        EncodingCase{"Minus", "", "/u/a−b/", "TBS",
                     kBom + SavedKeys("/u/a−b/", "TBS")},
        EncodingCase{"Dash", "", "/u/a—b/", "TBS",
                     kBom + SavedKeys("/u/a—b/", "TBS")},
        EncodingCase{"Yen", "", "/u/¥/", "TBS",
                     kBom + SavedKeys("/u/¥/", "TBS")},
        EncodingCase{"EmojiModel", "", "/u/", "TBS\xF0\x9F\x98\x80",
                     kBom + SavedKeys("/u/", "TBS\xF0\x9F\x98\x80")},
        EncodingCase{
            "Utf8FileBackToShiftJis",
            kBom + std::string("; 設定\r\n") + SavedKeys("/u/Café/", "TBS"),
            "/u/表/", "TBS",
            "; \x90\xdd\x92\xe8\r\n" + SavedKeys("/u/\x95\x5c/", "TBS")},
        EncodingCase{
            "Utf8CommentKeepsUtf8", kBom + std::string("; Café\r\n"), "/u/表/",
            "TBS",
            kBom + std::string("; Café\r\n") + SavedKeys("/u/表/", "TBS")}),
    [](const auto& test) { return std::string(test.param.name); });

#ifndef _WIN32
struct LinkCase {
  const char* name;
  const char* link_target;  // as the link holds it
  const char* target;       // the file reached, relative to the folder
  const char* before;       // its content, nullptr when missing
  const char* second_link;  // a link to the first one, or nullptr
};

class SettingsLinkTest : public SettingsTest,
                         public ::testing::WithParamInterface<LinkCase> {};

TEST_P(SettingsLinkTest, SaveWritesThroughTheLink) {
  const LinkCase& c = GetParam();
  std::filesystem::create_directories(folder_ / "real");
  if (c.before) WriteBytes(folder_ / c.target, c.before);
  const std::filesystem::path link =
      c.second_link ? folder_ / c.second_link : IniPath();
  std::filesystem::create_symlink(c.link_target, link);
  if (c.second_link) std::filesystem::create_symlink(link, IniPath());

  RecordingDisplay messages;
  ASSERT_TRUE(Store().SaveSettings(
      Settings{"/a/", "/b/", kH2C, kAb, "TBS", "0", "2000", true}, messages));
  EXPECT_TRUE(std::filesystem::is_symlink(IniPath()));
  EXPECT_TRUE(std::filesystem::is_symlink(link));
  EXPECT_EQ(ReadBytes(folder_ / c.target),
            std::string(c.before ? c.before : "") + SavedKeys("/a/", "TBS"));
  // The temporary file went to the target's folder and was renamed there.
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder_ / "real"),
                          std::filesystem::directory_iterator()),
            1);
}

INSTANTIATE_TEST_SUITE_P(
    Links, SettingsLinkTest,
    ::testing::Values(
        LinkCase{"Relative", "real/s.ini", "real/s.ini", "; kept\r\n", nullptr},
        LinkCase{"Dangling", "real/new.ini", "real/new.ini", nullptr, nullptr},
        LinkCase{"Chain", "real/s.ini", "real/s.ini", "; kept\r\n", "hop.ini"}),
    [](const auto& test) { return std::string(test.param.name); });
#endif

TEST_F(SettingsTest, SaveIntoMissingFolderFails) {
  SettingsStore store(folder_ / "missing" / "Cordshift.ini", DefaultFolder());
  RecordingDisplay messages;
  EXPECT_FALSE(store.SaveSettings(
      Settings{"/a/", "/b/", kC2H, kAb, "", "0", "2000", false}, messages));
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace cordshift
