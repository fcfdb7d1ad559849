// Runs the built program, to check what only a real process shows: exit
// statuses and the separation of standard output and standard error.

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <nlohmann/json.hpp>
#include <string>

#include "platform/text_file.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

#ifndef _WIN32
#include <sys/wait.h>
#endif

namespace cordshift {
namespace {

using testing::PathText;
using testing::ReadBytes;
using testing::TempFolder;

struct ProcessResult {
  int status = -1;
  std::string out;
  std::string err;
};

#ifdef _WIN32

// For cmd.exe; no path or argument of these tests holds a double quote.
std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

// Through the wide-character call, so that the command line keeps every
// character, not only those of the ANSI code page. cmd.exe drops the first
// and the last quote of a command line that has more than two, hence the
// extra pair around it.
int RunCommand(const std::string& command) {
  const std::filesystem::path wide = PathFromUtf8("\"" + command + "\"");
  return _wsystem(wide.c_str());
}

constexpr char kNoInput[] = "NUL";

#else

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

int RunCommand(const std::string& command) {
  const int raw = std::system(command.c_str());
  return WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
}

constexpr char kNoInput[] = "/dev/null";

#endif

ProcessResult RunProgram(const TempFolder& temp, const std::string& args) {
  const std::filesystem::path out = temp / "stdout.txt";
  const std::filesystem::path err = temp / "stderr.txt";
  const std::string program =
      PathText(std::filesystem::path(CORDSHIFT_CLI_PATH));
  ProcessResult result;
  result.status =
      RunCommand(Quoted(program) + " " + args + " >" + Quoted(PathText(out)) +
                 " 2>" + Quoted(PathText(err)) + " <" + kNoInput);
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
      {"list " + Quoted(PathText(temp.path())) + " --side hipot", 0},
      {"list " + Quoted(PathText(temp / "none")) + " --side hipot", 1},
      {"convert a b --direction to-hipot --model " + Quoted(""), 1},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(RunProgram(temp, c.args).status, c.status) << c.args;
  }
}

// help2man builds the manual page from this line, and the package check
// compares it with the package's version; without a subcommand it must not
// be a usage error.
TEST(CliBinaryTest, VersionPrintsTheProjectVersion) {
  TempFolder temp;
  for (const std::string args : {"--version", "--version list"}) {
    const ProcessResult result = RunProgram(temp, args);
    EXPECT_EQ(result.status, 0) << args;
    EXPECT_EQ(result.out, "cordshift-cli " CORDSHIFT_VERSION "\n") << args;
    EXPECT_EQ(result.err, "") << args;
  }
}

TEST(CliBinaryTest, ConvertsWithJsonOnStdoutOnly) {
  TempFolder temp;
  const std::filesystem::path source =
      testing::CopyTestData(temp, "convert/continuity");
  const std::filesystem::path destination = temp / "out";
  const ProcessResult result =
      RunProgram(temp, "convert " + Quoted(PathText(source)) + " " +
                           Quoted(PathText(destination)) +
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
      RunProgram(temp, "convert " + Quoted(PathText(source)) + " " +
                           Quoted(PathText(temp / "out")) +
                           " --direction to-continuity --model TBL480");
  EXPECT_EQ(result.status, 0);
  EXPECT_NE(result.err.find("LoomvantageHipot->Loomvantage 変換完了"),
            std::string::npos);
  EXPECT_EQ(result.out.find("変換完了"), std::string::npos);
  EXPECT_NE(result.out.find("Converted files: 2\n"), std::string::npos);
}

// Folder names outside the ANSI code page (Hangul is not in code page 932)
// reach the program whole, and its output is UTF-8 whatever the system's
// code page.
TEST(CliBinaryTest, KeepsNamesOutsideTheAnsiCodePage) {
  TempFolder temp;
  const std::filesystem::path folder = temp / "한글 ドア";
  testing::WriteLines(temp / "한글 ドア/左.lvd",
                      {"TBL480", "20240101000000", "1", "2", "A1-B1,0,100"});
  const ProcessResult result = RunProgram(
      temp, "list " + Quoted(PathText(folder)) + " --side continuity --json");
  EXPECT_EQ(result.status, 0) << result.err;
  const nlohmann::json report = nlohmann::json::parse(result.out);
  EXPECT_EQ(report["result"], "listed");
  ASSERT_EQ(report["rows"].size(), 1u);
  EXPECT_EQ(report["rows"][0][1], "左");
  EXPECT_EQ(result.out.find('\r'), std::string::npos)
      << "line ends are written as they are";
}

}  // namespace
}  // namespace cordshift
