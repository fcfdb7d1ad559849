#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/folder_path.h"
#include "support/temp_folder.h"
#include "wiring/recording_view.h"

namespace cordshift {
namespace {

using testing::MakeReadOnly;
using testing::NativeSeparators;
using testing::ReadBytes;
using testing::TempFolder;
using testing::WriteBytes;

constexpr char kSep = kFolderSeparator;

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
  EXPECT_EQ(settings.SrcDir, DefaultFolder());
  EXPECT_EQ(settings.DstDir, DefaultFolder());
  EXPECT_EQ(settings.Direction, "0");
  EXPECT_EQ(settings.ABorSeq, "0");
  EXPECT_EQ(settings.Equipment, "");
  EXPECT_EQ(settings.Lower, "0");
  EXPECT_EQ(settings.Upper, "2000");
  EXPECT_EQ(settings.OverWrite, "0");
}

TEST(SettingsPathTest, FileIsNamedAfterTheExecutableBesideIt) {
  EXPECT_EQ(SettingsFilePath("/opt/tools/Cordshift"),
            std::filesystem::path("/opt/tools/Cordshift.ini"));
  EXPECT_EQ(SettingsFilePath("/opt/tools/Renamed.exe"),
            std::filesystem::path("/opt/tools/Renamed.ini"));
  EXPECT_EQ(DefaultDataFolder("/opt/tools/Cordshift"),
            std::string("/opt/tools") + kSep + "Data" + kSep);
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
  EXPECT_EQ(settings.Direction, GetParam().expected);
  EXPECT_EQ(settings.ABorSeq, GetParam().expected);
  EXPECT_EQ(settings.OverWrite, GetParam().expected);
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
  EXPECT_EQ(settings.Lower, GetParam().expected_lower);
  EXPECT_EQ(settings.Upper, GetParam().expected_upper);
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
                      LimitCase{"ERR", "3000", "0", "2000"}));

TEST_F(SettingsTest, LimitOutsideThirtyTwoBitsFailsTheLoad) {
  for (const char* ini : {"[Inspection]\r\nLower=2147483648\r\n",
                          "[Inspection]\r\nUpper=99999999999\r\n",
                          "[Inspection]\r\nLower=-2147483649\r\n"}) {
    WriteBytes(IniPath(), ini);
    Settings settings;
    EXPECT_FALSE(Store().LoadSettings(settings)) << ini;
  }
}

TEST_F(SettingsTest, FoldersGetTheirFinalSeparator) {
  const Settings settings =
      LoadFrom("[Path]\r\nSrcDir=/data/in\r\nDstDir=\r\n");
  EXPECT_EQ(settings.SrcDir, std::string("/data/in") + kSep);
  EXPECT_EQ(settings.DstDir, std::string(1, kSep));
}

TEST_F(SettingsTest, StoredTextsAreShiftJisAndComeBackAsUtf8) {
  // 表示機 (with the 0x5C trail byte of 表) and a folder named ソフト.
  // On Windows the folder's separator follows the trail byte 0x5C of ソ.
  const Settings settings =
      LoadFrom(std::string("[Path]\r\nSrcDir=") + kSep + "d" + kSep +
               "\x83\x5c\x83\x74\x83\x67" + kSep +
               "\r\n"
               "[Inspection]\r\nEquipment=  \x95\x5c\x8e\xa6\x8b\x40  \r\n");
  EXPECT_EQ(settings.Equipment, "表示機");
  EXPECT_EQ(settings.SrcDir, NativeSeparators("/d/ソフト/"));
}

TEST_F(SettingsTest, SaveIntoEmptyFolderWritesTheElevenLines) {
  Settings settings{"/a/", "/b/", "1", "0", "TBS480", "0", "2000", "1"};
  RecordingView messages;
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
  Settings settings{"/a/", "/b/", "0", "1", "", "0", "2000", "0"};
  RecordingView messages;
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
                 "1",
                 "1",
                 "能力計",
                 "10",
                 "300",
                 "1"};
  RecordingView messages;
  ASSERT_TRUE(Store().SaveSettings(saved, messages));
  Settings loaded;
  ASSERT_TRUE(Store().LoadSettings(loaded));
  EXPECT_EQ(loaded.SrcDir, saved.SrcDir);
  EXPECT_EQ(loaded.DstDir, saved.DstDir);
  EXPECT_EQ(loaded.Direction, saved.Direction);
  EXPECT_EQ(loaded.ABorSeq, saved.ABorSeq);
  EXPECT_EQ(loaded.Equipment, saved.Equipment);
  EXPECT_EQ(loaded.Lower, saved.Lower);
  EXPECT_EQ(loaded.Upper, saved.Upper);
  EXPECT_EQ(loaded.OverWrite, saved.OverWrite);
}

TEST_F(SettingsTest, ReadOnlyFileFailsWithOneMessageAndStaysUnchanged) {
  const std::string before = "[Path]\r\nSrcDir=/old/\r\n";
  WriteBytes(IniPath(), before);
  MakeReadOnly(IniPath());
  RecordingView messages;
  EXPECT_FALSE(Store().SaveSettings(
      Settings{"/a/", "/b/", "0", "0", "", "0", "2000", "0"}, messages));
  EXPECT_EQ(messages.messages(),
            (std::vector<RecordedMessage>{
                {kSettingsSaveFailedText, MessageIcon::kInformation}}));
  EXPECT_EQ(ReadBytes(IniPath()), before);
}

TEST_F(SettingsTest, SaveStopsAtTheFirstFailedKey) {
  // A model name that Shift-JIS cannot hold fails the fifth write: the four
  // keys before it are stored, the ones after it are not.
  Settings settings{"/a/", "/b/",  "1", "1", "model \xF0\x9F\x98\x80",
                    "0",   "2000", "1"};
  RecordingView messages;
  EXPECT_FALSE(Store().SaveSettings(settings, messages));
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_EQ(ReadBytes(IniPath()),
            "[Path]\r\nSrcDir=/a/\r\nDstDir=/b/\r\n"
            "[Direction]\r\nHp2Lv=1\r\nABorSeq=1\r\n");
}

TEST_F(SettingsTest, SaveIntoMissingFolderFails) {
  SettingsStore store(folder_ / "missing" / "Cordshift.ini", DefaultFolder());
  RecordingView messages;
  EXPECT_FALSE(store.SaveSettings(
      Settings{"/a/", "/b/", "0", "0", "", "0", "2000", "0"}, messages));
  EXPECT_EQ(messages.messages().size(), 1u);
  EXPECT_FALSE(std::filesystem::exists(folder_ / "missing"));
}

}  // namespace
}  // namespace cordshift
