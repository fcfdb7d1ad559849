// Runs the built program, to check what only a real process shows: exit
// statuses and the separation of standard output and standard error.

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

using testing::ReadBytes;
using testing::TempFolder;

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (const char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted += c;
    }
  }
  return quoted + "'";
}

ProcessResult RunProgram(const TempFolder& temp, const std::string& args) {
  const std::filesystem::path out = temp / "stdout.txt";
  const std::filesystem::path err = temp / "stderr.txt";
  const std::string command = Quoted(CORDSHIFT_CLI_PATH) + " " + args + " >" +
                              Quoted(out.string()) + " 2>" +
                              Quoted(err.string()) + " </dev/null";
  const int raw = std::system(command.c_str());
  ProcessResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  result.out = ReadBytes(out);
  result.err = ReadBytes(err);
  return result;
}

TEST(CliBinaryTest, ExitStatusesOfTheProgram) {
  TempFolder temp;
  const struct {
    std::string args;
    int status;
  } cases[] = {
      {"--help", 0},
      {"convert --help", 0},
      {"convert a b --model M", 2},
      {"convert a b --direction to-hipot --model M --bogus", 2},
      {"list " + Quoted((temp / "none").string()) + " --side hipot", 0},
      {"convert a b --direction to-hipot --model ''", 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunProgram(temp, c.args).status, c.status) << c.args;
  }
}

TEST(CliBinaryTest, ConvertsWithJsonOnStdoutOnly) {
  TempFolder temp;
  const std::filesystem::path source =
      testing::CopyTestData(temp, "convert/continuity");
  const std::filesystem::path destination = temp / "out";
  const ProcessResult result =
      RunProgram(temp, "convert " + Quoted(source.string()) + " " +
                           Quoted(destination.string()) +
                           " --direction to-hipot --model TBS480 --json");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, "");
  const nlohmann::json report = nlohmann::json::parse(result.out);
  EXPECT_EQ(report["result"], "completed");
  EXPECT_TRUE(std::filesystem::exists(destination / "01_ab.lvd"));
}

TEST(CliBinaryTest, TextModeKeepsProgressOffStdout) {
  TempFolder temp;
  const std::filesystem::path source =
      testing::CopyTestData(temp, "convert/hipot");
  const ProcessResult result =
      RunProgram(temp, "convert " + Quoted(source.string()) + " " +
                           Quoted((temp / "out").string()) +
                           " --direction to-continuity --model TBL480");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.err.find("LoomvantageHipot->Loomvantage 変換完了"),
            std::string::npos);
  EXPECT_EQ(result.out.find("変換完了"), std::string::npos);
  EXPECT_NE(result.out.find("Converted files: 2\n"), std::string::npos);
}

}  // namespace
}  // namespace cordshift
