#include "cli/cli.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <nlohmann/json.hpp>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "platform/folder_path.h"
#include "platform/text_file.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

using Json = nlohmann::json;
using testing::CopyTestData;
using testing::NativeSeparators;
using testing::PathText;
using testing::Snapshot;
using testing::TempFolder;
using testing::WriteLines;

struct CliResult {
  int status = -1;
  std::string out;
  std::string err;
};

CliResult RunCliWith(std::vector<std::string> args) {
  args.insert(args.begin(), "cordshift-cli");
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  std::ostringstream out;
  std::ostringstream err;
  CliResult result;
  result.status = RunCli(static_cast<int>(argv.size()), argv.data(), out, err);
  result.out = out.str();
  result.err = err.str();
  return result;
}

Json ParseReport(const CliResult& result) {
  EXPECT_EQ(result.err, "");
  return Json::parse(result.out);
}

std::map<std::string, std::string> Expected(const std::string& name) {
  return Snapshot(std::filesystem::path(CORDSHIFT_TEST_DATA_DIR) / "convert" /
                  name);
}

class CliConvertTest : public ::testing::Test {
 protected:
  std::string Source(const std::string& side) {
    return PathText(CopyTestData(temp_, "convert/" + side));
  }
  std::string Destination() const { return PathText(temp_ / "out"); }

  TempFolder temp_;
};

struct GoldenCase {
  const char* side;
  const char* direction;
  const char* model_name;
  const char* notation;
  const char* expected;
};

class CliGoldenTest : public CliConvertTest,
                      public ::testing::WithParamInterface<GoldenCase> {};

TEST_P(CliGoldenTest, WritesTheGoldenFilesAndReportsThemAsJson) {
  const GoldenCase& c = GetParam();
  const std::string source = Source(c.side);
  const CliResult result =
      RunCliWith({"convert", source, Destination(), "--direction", c.direction,
                  "--model", c.model_name, "--notation", c.notation, "--json"});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(Snapshot(Destination()), Expected(c.expected));

  const Json report = ParseReport(result);
  EXPECT_EQ(report["result"], "completed");
  EXPECT_EQ(report["converted"], "2");
  EXPECT_EQ(report["messages"], Json::array());
  EXPECT_EQ(report["guide"].back(),
            std::string(c.direction) == "to-hipot"
                ? "Loomvantage->LoomvantageHipot 変換完了"
                : "LoomvantageHipot->Loomvantage 変換完了");
  ASSERT_EQ(report["destination_rows"].size(), 2u);
  for (const Json& row : report["destination_rows"]) {
    EXPECT_EQ(row.size(), 6u);
  }
  int converted = 0;
  for (const Json& file : report["files"]) {
    if (file["outcome"] != "converted") continue;
    ++converted;
    const std::filesystem::path destination =
        PathFromUtf8(file["destination"].get<std::string>());
    EXPECT_EQ(destination.parent_path(), std::filesystem::path(Destination()));
    EXPECT_TRUE(std::filesystem::exists(destination)) << destination;
  }
  EXPECT_EQ(converted, 2);
}

INSTANTIATE_TEST_SUITE_P(
    BothDirections, CliGoldenTest,
    ::testing::Values(GoldenCase{"continuity", "to-hipot", "TBS480", "ab",
                                 "expected_hipot"},
                      GoldenCase{"hipot", "to-continuity", "TBL480", "ab",
                                 "expected_continuity_ab"},
                      GoldenCase{"hipot", "to-continuity", "TBL480", "seq",
                                 "expected_continuity_seq"}));

TEST_F(CliConvertTest, ReportsSkippedFilesWithTheirReason) {
  const std::string source = Source("hipot");
  const CliResult result =
      RunCliWith({"convert", source, Destination(), "--direction",
                  "to-continuity", "--model", "TBL480", "--json"});
  const Json report = ParseReport(result);
  ASSERT_EQ(report["files"].size(), 3u);
  EXPECT_EQ(report["files"][2],
            Json({{"source", source + kFolderSeparator + "03_single.lvd"},
                  {"outcome", "skipped"},
                  {"reason", "single-ended"}}));
}

TEST_F(CliConvertTest, TextModeShowsProgressOnStderrAndTablesOnStdout) {
  const CliResult result =
      RunCliWith({"convert", Source("continuity"), Destination(), "--direction",
                  "to-hipot", "--model", "TBS480"});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_NE(result.err.find("Loomvantage->LoomvantageHipot 変換開始\n"),
            std::string::npos);
  EXPECT_NE(result.err.find("Loomvantage->LoomvantageHipot 変換完了\n"),
            std::string::npos);
  EXPECT_EQ(result.out.find("変換"), std::string::npos);
  EXPECT_EQ(result.out,
            "Source files (last folder listed):\n"
            "No.    品名    回路数  端子数  片端数  最大端子\n"
            "    1  01_ab      3       5       0      B65\n"
            "    2  02_seq     4       4       0       B1\n"
            "\n"
            "Destination files (last folder converted):\n"
            "No.   品名    回路数  端子数  片端数  最大端子\n"
            "   1  01_ab       3       5       0     193\n"
            "   2  02_seq      4       4       0      65\n"
            "\n"
            "Converted files: 2\n");
}

struct RefusedCase {
  std::vector<std::string> options;
  const char* message;
};

TEST_F(CliConvertTest, RefusedInputsEndTheRunWithTheWindowsMessage) {
  const RefusedCase cases[] = {
      {{"--direction", "to-hipot", "--model", ""},
       "変換先機種名を入力してください（例：TBS480）"},
      {{"--direction", "to-continuity", "--model", "   "},
       "変換先機種名を入力してください（例：TBL480）"},
      // A line break would add header lines to every file written.
      {{"--direction", "to-hipot", "--model", "TBS480\r\n99"},
       "変換先機種名に制御文字は使用できません"},
      {{"--direction", "to-hipot", "--model", "\t"},
       "変換先機種名に制御文字は使用できません"},
      {{"--direction", "to-hipot", "--model", " TB\x7fS "},
       "変換先機種名に制御文字は使用できません"},
      // The control character is named before the limits are looked at.
      {{"--direction", "to-hipot", "--model", "T\x1b", "--lower", "x"},
       "変換先機種名に制御文字は使用できません"},
      {{"--direction", "to-hipot", "--model", "M", "--lower", "x"},
       "導通抵抗下限値には正の半角数字で記入してください"},
      {{"--direction", "to-hipot", "--model", "M", "--lower", "-1", "--upper",
        "y"},
       "導通抵抗上限値には正の半角数字で記入してください"},
      {{"--direction", "to-hipot", "--model", "M", "--lower", "5", "--upper",
        "5"},
       "導通抵抗下限値 < 導通抵抗上限値となるよう記入してください"},
  };
  const std::string source = Source("continuity");
  for (const RefusedCase& c : cases) {
    std::vector<std::string> args = {"convert", source, Destination()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back("--json");
    const CliResult result = RunCliWith(args);
    EXPECT_EQ(result.status, kExitRunFailed) << c.message;
    const Json report = ParseReport(result);
    EXPECT_EQ(report["result"], "failed");
    EXPECT_EQ(report["messages"],
              Json::parse(R"([{"icon": "exclamation", "text": ")" +
                          std::string(c.message) + "\"}]"));
    EXPECT_EQ(report["guide"], Json::array());
    EXPECT_EQ(report["converted"], "0");
    EXPECT_FALSE(std::filesystem::exists(Destination()));
  }
}

TEST_F(CliConvertTest, RefusedRunInTextModeNamesTheMessageOnStderr) {
  const CliResult result =
      RunCliWith({"convert", Source("continuity"), Destination(), "--direction",
                  "to-hipot", "--model", ""});
  EXPECT_EQ(result.status, kExitRunFailed);
  EXPECT_NE(result.err.find(
                "exclamation: 変換先機種名を入力してください（例：TBS480）\n"),
            std::string::npos)
      << result.err;
  EXPECT_NE(result.out.find("Converted files: 0\n"), std::string::npos);
  // The last line says why in plain words, for scripts and for readers of
  // other languages.
  EXPECT_TRUE(result.err.ends_with(
      "\ncordshift-cli: refused: the model name is blank\n"))
      << result.err;
}

TEST_F(CliConvertTest, AFaultyFileFailsTheRun) {
  const std::filesystem::path source = temp_ / "bad";
  WriteLines(source / "W1.lvd",
             {"TBL480", "2024013", "1", "2", "A1-A2,0,100"});  // date too short
  const CliResult result =
      RunCliWith({"convert", PathText(source), Destination(), "--direction",
                  "to-hipot", "--model", "TBS480", "--json"});
  EXPECT_EQ(result.status, kExitRunFailed);
  const Json report = ParseReport(result);
  EXPECT_EQ(report["result"], "failed");
  ASSERT_FALSE(report["messages"].empty());
  EXPECT_EQ(report["messages"].back()["text"],
            "Loomvantage->LoomvantageHipotの変換に失敗しました");
  ASSERT_FALSE(report["files"].empty());
  EXPECT_EQ(report["files"].back()["outcome"], "fault");
  EXPECT_FALSE(report["files"].back()["detail"].get<std::string>().empty());
}

TEST_F(CliConvertTest, AWrittenFileUnlikeItsSourceIsItsFault) {
  ConvertOptions options;
  options.run.source_root = Source("continuity") + kFolderSeparator;
  options.run.destination_root = Destination() + kFolderSeparator;
  options.run.conversion.model_name = "TBS480";
  options.json = true;
  // A disk that garbles the second file once it is written.
  const std::filesystem::path second = temp_ / "out" / "02_seq.lvd";
  options.run.conversion.file_written = [&second](const std::string& name) {
    if (name != "02_seq") return;
    std::string bytes = testing::ReadBytes(second);
    bytes[bytes.find("0017-0001")] = '1';
    testing::WriteBytes(second, bytes);
  };
  std::ostringstream out;
  std::ostringstream err;
  EXPECT_EQ(RunConvertCommand(options, out, err), kExitRunFailed);
  const Json report = Json::parse(out.str());
  EXPECT_EQ(report["result"], "failed");
  EXPECT_EQ(report["reason"],
            "02_seq.lvd: line 6 of the written file does not match its source");
  EXPECT_EQ(report["messages"][0]["text"],
            "変換先：2 行目が変換元と一致しません");
  EXPECT_EQ(report["converted"], "1");
  EXPECT_EQ(report["verified"], 1);
  ASSERT_EQ(report["files"].size(), 2u);
  EXPECT_EQ(report["files"][0]["verified"], true);
  EXPECT_EQ(report["files"][1]["outcome"], "fault");
  EXPECT_EQ(report["files"][1]["detail"],
            "line 6 of the written file does not match its source");
}

TEST_F(CliConvertTest, NoVerifyReadsNothingBack) {
  const CliResult result =
      RunCliWith({"convert", Source("continuity"), Destination(), "--direction",
                  "to-hipot", "--model", "TBS480", "--no-verify", "--json"});
  EXPECT_EQ(result.status, kExitSuccess);
  const Json report = ParseReport(result);
  EXPECT_EQ(report["verified"], 0);
  EXPECT_EQ(report["files"][0]["verified"], false);
}

// A second run with --overwrite of a tree already converted writes no file
// and reports what the first reported, each file marked unchanged.
TEST_F(CliConvertTest, ASecondRunWritesNoFileItWouldNotChange) {
  const std::vector<std::vector<std::string>> kRuns = {
      {Source("continuity"), "--direction", "to-hipot", "--model", "TBS480"},
      {Source("hipot"), "--direction", "to-continuity", "--model", "TBL480",
       "--notation", "seq"}};
  for (std::vector<std::string> args : kRuns) {
    SCOPED_TRACE(args[0]);
    std::filesystem::remove_all(Destination());
    args.insert(args.begin(), "convert");
    args.insert(args.begin() + 2, Destination());
    args.insert(args.end(), {"--overwrite", "--json"});
    const Json first = ParseReport(RunCliWith(args));
    // Whole seconds, which every file system keeps exactly.
    const std::filesystem::file_time_type long_ago =
        std::chrono::floor<std::chrono::seconds>(
            std::filesystem::file_time_type::clock::now() -
            std::chrono::hours(24 * 400));
    for (const auto& entry :
         std::filesystem::directory_iterator(Destination())) {
      std::filesystem::last_write_time(entry.path(), long_ago);
    }
    const auto before = Snapshot(Destination());

    Json second = ParseReport(RunCliWith(args));
    EXPECT_EQ(Snapshot(Destination()), before);
    for (const auto& entry :
         std::filesystem::directory_iterator(Destination())) {
      EXPECT_TRUE(std::filesystem::last_write_time(entry.path()) == long_ago)
          << entry.path();
    }
    for (Json& file : second["files"]) {
      if (file["outcome"] != "converted") continue;
      EXPECT_EQ(file["unchanged"], true);
      file.erase("unchanged");
    }
    EXPECT_EQ(second, first);
  }
}

TEST_F(CliConvertTest, DryRunWritesNothingButReportsWhatItWouldWrite) {
  const std::string source = Source("continuity");
  const auto before = Snapshot(temp_.path());
  const CliResult result =
      RunCliWith({"convert", source, Destination(), "--direction", "to-hipot",
                  "--model", "TBS480", "--dry-run", "--json"});
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(Snapshot(temp_.path()), before);
  EXPECT_FALSE(std::filesystem::exists(Destination()));
  const Json report = ParseReport(result);
  EXPECT_EQ(report["converted"], "2");
  EXPECT_EQ(report["destination_rows"].size(), 2u);
  ASSERT_EQ(report["files"].size(), 3u);
  EXPECT_EQ(report["files"][0]["outcome"], "converted");
  EXPECT_EQ(report["files"][0]["destination"],
            Destination() + kFolderSeparator + "01_ab.lvd");
  EXPECT_EQ(report["files"][2],
            Json({{"source", source + kFolderSeparator + "03_empty.lvd"},
                  {"outcome", "skipped"},
                  {"reason", "no-circuits"}}));
}

TEST_F(CliConvertTest, KeepsExistingFilesUnlessOverwriteIsGiven) {
  const std::string source = Source("continuity");
  const std::filesystem::path existing =
      std::filesystem::path(Destination()) / "01_ab.lvd";
  testing::WriteBytes(existing, "old\r\n");
  const std::vector<std::string> args = {
      "convert",  source,    Destination(), "--direction",
      "to-hipot", "--model", "TBS480",      "--json"};

  const Json kept = ParseReport(RunCliWith(args));
  EXPECT_EQ(testing::ReadBytes(existing), "old\r\n");
  EXPECT_EQ(kept["files"][0]["reason"], "exists");

  std::vector<std::string> overwrite = args;
  overwrite.push_back("--overwrite");
  const Json replaced = ParseReport(RunCliWith(overwrite));
  EXPECT_EQ(testing::ReadBytes(existing),
            Expected("expected_hipot").at("01_ab.lvd"));
  EXPECT_EQ(replaced["files"][0]["outcome"], "converted");
}

TEST_F(CliConvertTest, ConvertsSubfoldersIntoTheMirroredTree) {
  const std::filesystem::path source = temp_ / "tree";
  const std::vector<std::string> file = {"TBL480", "20240101000000", "1", "2",
                                         "A1-B1,0,100"};
  WriteLines(source / "a" / "W1.lvd", file);
  WriteLines(source / "a" / "b" / "W2.lvd", file);
  const CliResult result =
      RunCliWith({"convert", PathText(source) + kFolderSeparator, Destination(),
                  "--direction", "to-hipot", "--model", "TBS480", "--json"});
  EXPECT_EQ(result.status, kExitSuccess);
  const auto written = Snapshot(Destination());
  EXPECT_EQ(written.count(NativeSeparators("a/W1.lvd")), 1u);
  EXPECT_EQ(written.count(NativeSeparators("a/b/W2.lvd")), 1u);
}

// verify's table names each file from its root, with a summary line; its
// exit status says whether everything matched.
TEST_F(CliConvertTest, VerifyPrintsATableAndASummary) {
  const std::string source = Source("continuity");
  ASSERT_EQ(RunCliWith({"convert", source, Destination(), "--direction",
                        "to-hipot", "--model", "TBS480"})
                .status,
            kExitSuccess);
  const std::vector<std::string> verify = {
      "verify",  source,   Destination(), "--direction", "to-hipot",
      "--model", "TBS480", "--upper",     "2000"};
  CliResult result = RunCliWith(verify);
  EXPECT_EQ(result.status, kExitSuccess);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "File          Result   Detail\n"
            "01_ab.lvd     match\n"
            "02_seq.lvd    match\n"
            "03_empty.lvd  skipped  no-circuits\n"
            "\n"
            "3 files: 2 match, 0 missing, 0 differs, 1 skipped, 0 fault, 0 "
            "extra\n");

  std::filesystem::remove(temp_ / "out" / "01_ab.lvd");
  testing::WriteBytes(temp_ / "out" / "x.lvd", "");
  std::string bytes = testing::ReadBytes(temp_ / "out" / "02_seq.lvd");
  bytes.replace(bytes.find(",2000,"), 6, ",2001,");
  testing::WriteBytes(temp_ / "out" / "02_seq.lvd", bytes);
  result = RunCliWith(verify);
  EXPECT_EQ(result.status, kExitRunFailed);
  EXPECT_EQ(result.out,
            "File          Result   Detail\n"
            "01_ab.lvd     missing  no destination file\n"
            "02_seq.lvd    differs  line 5 (source line 5): expected "
            "\"0001-0065,1,0,2000,1,0\", found \"0001-0065,1,0,2001,1,0\"\n"
            "03_empty.lvd  skipped  no-circuits\n"
            "x.lvd         extra\n"
            "\n"
            "4 files: 0 match, 1 missing, 1 differs, 1 skipped, 0 fault, 1 "
            "extra\n");

  std::vector<std::string> json = verify;
  json.push_back("--json");
  const Json report = ParseReport(RunCliWith(json));
  EXPECT_EQ(report["result"], "differs");
  EXPECT_EQ(report["counts"], Json::parse(R"({"match": 0, "missing": 1,
      "differs": 1, "skipped": 1, "fault": 0, "extra": 1})"));
  EXPECT_EQ(
      report["files"][1],
      Json({{"source", source + kFolderSeparator + "02_seq.lvd"},
            {"destination", Destination() + kFolderSeparator + "02_seq.lvd"},
            {"outcome", "differs"},
            {"what", "record"},
            {"source_line", 5},
            {"destination_line", 5},
            {"expected", "0001-0065,1,0,2000,1,0"},
            {"found", "0001-0065,1,0,2001,1,0"}}));
  EXPECT_EQ(report["files"][3],
            Json({{"destination", Destination() + kFolderSeparator + "x.lvd"},
                  {"outcome", "extra"}}));

  // Options a run would refuse are a usage error.
  json.insert(json.end(), {"--lower", "3000"});
  const CliResult refused = RunCliWith(json);
  EXPECT_EQ(refused.status, kExitUsage);
  EXPECT_EQ(ParseReport(refused)["reason"],
            "refused: the lower limit is not below the upper limit");
}

// A tree of every kind of record the readers take, converted and then
// verified: everything matches, in both directions and notations.
class GeneratedTreeTest : public CliConvertTest {
 protected:
  static constexpr int kFiles = 1000;

  // Continuity files: AB and sequential terminals in any case and with
  // leading zeros, terminals beyond the table, single-ended B-side
  // records, files without circuits, comments of every other file.
  void WriteContinuityTree(const std::filesystem::path& root) {
    std::mt19937 random(23);
    for (int number = 0; number < kFiles; ++number) {
      std::vector<std::string> lines = {"TBL480", "20240312093000", "0", "0"};
      const int records = number % 97 == 0 ? 0 : 1 + number % 40;
      for (int record = 0; record < records; ++record) {
        lines.push_back(ContinuityPair(random) + ",0,2000");
      }
      WriteFile(root, number, lines);
    }
  }

  // Hipot files: terminals 1 to 8192 as written by either tester, some
  // files with single-ended circuits.
  void WriteHipotTree(const std::filesystem::path& root) {
    std::mt19937 random(46);
    std::uniform_int_distribution<int> terminal(1, 8192);
    for (int number = 0; number < kFiles; ++number) {
      std::vector<std::string> lines = {"TBS480", "20240312093000", "0", "0"};
      for (int record = 0; record < 1 + number % 40; ++record) {
        const int to = terminal(random);
        const bool single_ended = number % 31 == 0 && record == 0;
        lines.push_back(" " + std::to_string(terminal(random)) + " -" +
                        (single_ended ? "" : std::to_string(to)) +
                        ",1,0,2000,1,0");
      }
      WriteFile(root, number, lines);
    }
  }

  std::string ContinuityPair(std::mt19937& random) {
    std::uniform_int_distribution<int> number(1, 4096);
    switch (random() % 6) {
      case 0:
        return "A" + std::to_string(number(random)) + "-B" +
               std::to_string(number(random));
      case 1:
        return "b" + std::to_string(number(random)) + "-a00" +
               std::to_string(number(random));
      case 2:
        return Padded(number(random)) + "-" + Padded(number(random) * 2);
      case 3:
        return std::to_string(number(random)) + "-9000";
      case 4:
        return "B" + std::to_string(number(random)) + "-";
      default:
        break;
    }
    return "a" + std::to_string(number(random)) + "-A" +
           std::to_string(number(random));
  }

  static std::string Padded(int number) {
    std::string text = std::to_string(number);
    return std::string(text.size() < 4 ? 4 - text.size() : 0, '0') + text;
  }

  static void WriteFile(const std::filesystem::path& root, int number,
                        const std::vector<std::string>& lines) {
    const std::filesystem::path folder =
        root / ("line" + std::to_string(number / 250)) /
        ("h" + std::to_string(number / 25));
    const std::string name = "W" + std::to_string(number);
    WriteLines(folder / (name + ".lvd"), lines);
    if (number % 2 == 0) {
      testing::WriteBytes(
          folder / (name + ".ini"),
          "[Purpose]\r\nComment=c" + std::to_string(number) + "\r\n");
    }
  }

  // Converts and verifies with the same options; every file must match.
  void ConvertAndVerify(const std::string& source,
                        const std::vector<std::string>& options) {
    const std::string destination =
        PathText(temp_ / ("out" + std::to_string(++destinations_)));
    std::vector<std::string> convert = {"convert", source, destination};
    convert.insert(convert.end(), options.begin(), options.end());
    convert.push_back("--json");
    const Json converted = ParseReport(RunCliWith(convert));
    ASSERT_EQ(converted["result"], "completed") << converted["reason"];
    EXPECT_EQ(converted["verified"],
              std::stoi(converted["converted"].get<std::string>()));
    std::vector<std::string> verify = {"verify", source, destination};
    verify.insert(verify.end(), options.begin(), options.end());
    verify.push_back("--json");
    const CliResult result = RunCliWith(verify);
    EXPECT_EQ(result.status, kExitSuccess);
    const Json report = ParseReport(result);
    EXPECT_EQ(report["result"], "match");
    EXPECT_EQ(report["counts"]["match"], converted["verified"]);
    EXPECT_EQ(report["counts"]["match"].get<int>() +
                  report["counts"]["skipped"].get<int>(),
              kFiles);
  }

  int destinations_ = 0;
};

TEST_F(GeneratedTreeTest, VerifyOfWhatConvertWroteMatches) {
  const std::string continuity = PathText(temp_ / "continuity");
  WriteContinuityTree(continuity);
  ConvertAndVerify(continuity, {"--direction", "to-hipot", "--model", "TBS480",
                                "--lower", "0", "--upper", "2000"});
  const std::string hipot = PathText(temp_ / "hipot");
  WriteHipotTree(hipot);
  for (const char* notation : {"ab", "seq"}) {
    SCOPED_TRACE(notation);
    ConvertAndVerify(hipot,
                     {"--direction", "to-continuity", "--notation", notation,
                      "--model", "TBL480", "--lower", "0", "--upper", "2000"});
  }
}

TEST(CliUsageTest, UsageErrorsExitWithTwoAndExplainOnStderr) {
  const std::vector<std::vector<std::string>> cases = {
      {},
      {"frobnicate"},
      {"convert", "s", "d", "--direction", "to-hipot"},
      {"convert", "s", "d", "--direction", "sideways", "--model", "M"},
      {"convert", "s", "d", "--model", "M"},
      {"convert", "s", "--direction", "to-hipot", "--model", "M"},
      {"convert", "s", "d", "--direction", "to-hipot", "--model", "M",
       "--notation", "hex"},
      {"convert", "s", "d", "--direction", "to-hipot", "--model", "M",
       "--force"},
      {"convert", "", "d", "--direction", "to-hipot", "--model", "M"},
      {"list", "s"},
      {"list", "s", "--side", "both"},
      {"list", "s", "t", "--side", "hipot"},
      {"verify", "s", "d"},
      {"verify", "s", "d", "--direction", "to-hipot", "--notation", "hex"},
      {"verify", "s", "d", "--direction", "to-hipot", "--overwrite"},
  };
  for (const auto& args : cases) {
    const CliResult result = RunCliWith(args);
    std::string joined;
    for (const auto& arg : args) joined += arg + " ";
    EXPECT_EQ(result.status, kExitUsage) << joined;
    EXPECT_EQ(result.out, "") << joined;
    EXPECT_NE(result.err.find("--help"), std::string::npos) << joined;
  }
}

TEST(CliUsageTest, HelpDescribesTheOptionsAndExitsWithZero) {
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> mentions;
  } cases[] = {
      {{"--help"}, {"convert", "list", "verify", "Exit status"}},
      {{"convert", "--help"},
       {"--direction", "to-hipot", "to-continuity", "--model", "--lower",
        "--upper", "--notation", "--overwrite", "--dry-run", "--json"}},
      {{"list", "--help"}, {"DIR", "--side", "continuity", "hipot"}},
      {{"verify", "--help"},
       {"SRC", "DST", "--direction", "--notation", "--model", "--lower",
        "--upper", "--json"}},
  };
  for (const auto& c : cases) {
    const CliResult result = RunCliWith(c.args);
    EXPECT_EQ(result.status, kExitSuccess);
    EXPECT_EQ(result.err, "");
    for (const std::string& mention : c.mentions) {
      EXPECT_NE(result.out.find(mention), std::string::npos) << mention;
    }
  }
}

struct ListCase {
  const char* name;
  const char* side;
  std::vector<std::string> file;  // empty: no wiring file in the folder
  int status;
  const char* result;
  std::size_t rows;
  const char* last_guide;
  const char* reason = nullptr;  // only when the listing failed
};

class CliListTest : public ::testing::TestWithParam<ListCase> {};

TEST_P(CliListTest, ReportsTheListingOutcome) {
  const ListCase& c = GetParam();
  TempFolder temp;
  const std::filesystem::path folder = temp / "dir";
  std::filesystem::create_directories(folder);
  if (!c.file.empty()) WriteLines(folder / "W1.lvd", c.file);
  const CliResult result =
      RunCliWith({"list", PathText(folder), "--side", c.side, "--json"});
  EXPECT_EQ(result.status, c.status);
  const Json report = ParseReport(result);
  EXPECT_EQ(report.size(), c.reason == nullptr ? 4u : 5u);
  if (c.reason != nullptr) {
    EXPECT_EQ(report["reason"], c.reason);
  }
  EXPECT_EQ(report["result"], c.result);
  EXPECT_EQ(report["rows"].size(), c.rows);
  ASSERT_FALSE(report["guide"].empty());
  EXPECT_EQ(report["guide"].back(), c.last_guide);
}

INSTANTIATE_TEST_SUITE_P(
    Outcomes, CliListTest,
    ::testing::Values(
        ListCase{"continuity",
                 "continuity",
                 {"TBL480", "20240101000000", "1", "2", "A1-B1,0,100"},
                 kExitSuccess,
                 "listed",
                 1,
                 "変換元の Loomvantage の一覧を表示しました"},
        ListCase{"hipot",
                 "hipot",
                 {"TBS480", "20240101000000", "1", "2", "1-65,1,0,2000,1,0"},
                 kExitSuccess,
                 "listed",
                 1,
                 "変換元の LoomvantageHipot の一覧を表示しました"},
        ListCase{"empty",
                 "hipot",
                 {},
                 kExitSuccess,
                 "empty",
                 0,
                 "変換元のフォルダにはファイルが見つかりませんでした"},
        ListCase{"unreadable",
                 "continuity",
                 {"TBL480", "20240101000000", "1"},
                 kExitRunFailed,
                 "failed",
                 0,
                 "変換元の Loomvantage の一覧表示ができませんでした",
                 "W1.lvd: invalid header"}),
    [](const ::testing::TestParamInfo<ListCase>& param_info) {
      return param_info.param.name;
    });

TEST(CliListTextTest, PrintsTheTableAndAMissingFolderFails) {
  TempFolder temp;
  WriteLines(temp / "ドア左.lvd",
             {"TBL480", "20240101000000", "1", "2", "A1-B1,0,100"});
  const CliResult listed =
      RunCliWith({"list", PathText(temp.path()), "--side", "continuity"});
  EXPECT_EQ(listed.status, kExitSuccess);
  EXPECT_EQ(listed.out, "Wiring files in " + PathText(temp.path()) +
                            kFolderSeparator + ":\n" +
                            "No.    品名    回路数  端子数  片端数  最大端子\n"
                            "    1  ドア左     1       2       0       B1\n\n");
  EXPECT_EQ(listed.err,
            "変換元の Loomvantage の一覧表示中...\n"
            "変換元の Loomvantage の一覧を表示しました\n");

  const CliResult missing = RunCliWith(
      {"list", PathText(temp / "missing"), "--side", "hipot", "--json"});
  EXPECT_EQ(missing.status, kExitRunFailed);
  EXPECT_EQ(ParseReport(missing)["result"], "failed");
  EXPECT_EQ(ParseReport(missing)["reason"],
            PathText(temp / "missing") + kFolderSeparator + ": no such folder");
}

}  // namespace
}  // namespace cordshift
