#include "cli/json_report.h"

#include <gtest/gtest.h>

#include <memory>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

namespace cordshift {
namespace {

using Json = nlohmann::json;

FileReport Report(std::string source, FileOutcome outcome,
                  std::string destination = {}) {
  FileReport report;
  report.source = std::move(source);
  report.outcome = outcome;
  report.destination = std::move(destination);
  return report;
}

// A view filled the way a run fills it: guides, a message, rows of both
// lists, the counter and one report per kind of file outcome.
RecordingDisplay FilledView() {
  RecordingDisplay view;
  view.ShowGuide("Loomvantage->LoomvantageHipot 変換開始");
  view.ShowMessage("変換元：3 行目の年月日が異常です",
                   MessageIcon::kExclamation);
  view.ShowMessage("saved", MessageIcon::kInformation);
  view.ShowList(ListId::kSource,
                std::make_shared<const ListRows>(
                    RowStyle::kListing,
                    std::vector<ListRow>{{1, "W1", {3, 5, 0, 193, true}}}));
  view.ShowList(ListId::kDestination,
                std::make_shared<const ListRows>(
                    RowStyle::kConverted,
                    std::vector<ListRow>{{1, "W1", {1, 2, 0, 2, false}}}));
  view.SetConvertedCount("3");
  FileReport verified =
      Report("/s/W1.lvd", FileOutcome::kConverted, "/d/W1.lvd");
  verified.verified = true;
  view.ReportFile(verified);
  FileReport unchanged =
      Report("/s/W0.lvd", FileOutcome::kConverted, "/d/W0.lvd");
  unchanged.verified = true;
  unchanged.unchanged = true;
  view.ReportFile(unchanged);
  view.ReportFile(Report("/s/W9.lvd", FileOutcome::kConverted, "/d/W9.lvd"));
  view.ReportFile(
      Report("/s/W2.lvd", FileOutcome::kSkippedExists, "/d/W2.lvd"));
  view.ReportFile(Report("/s/W3.lvd", FileOutcome::kSkippedSingleEnded));
  view.ReportFile(Report("/s/W4.lvd", FileOutcome::kSkippedNoCircuits));
  view.ReportFile(
      FaultReport("/s/W5.lvd", LineFault(FaultKind::kMalformedRecord, 3)));
  return view;
}

RunResult Ended(RunOutcome outcome) {
  RunResult result;
  result.outcome = outcome;
  result.inputs_accepted = true;
  return result;
}

TEST(ConvertReportJsonTest, HoldsEveryFieldOfTheRun) {
  const Json report = Json::parse(
      ConvertReportJson(Ended(RunOutcome::kCompleted), "", FilledView()));
  const Json expected = Json::parse(R"({
    "result": "completed",
    "guide": ["Loomvantage->LoomvantageHipot 変換開始"],
    "messages": [
      {"icon": "exclamation", "text": "変換元：3 行目の年月日が異常です"},
      {"icon": "information", "text": "saved"}
    ],
    "source_rows": [["    1", "W1", "   3", "   5", "   0", "  B65"]],
    "destination_rows": [["   1", "W1", "    1", "    2", "    0", "    2"]],
    "converted": "3",
    "verified": 2,
    "files": [
      {"source": "/s/W1.lvd", "outcome": "converted",
       "destination": "/d/W1.lvd", "verified": true},
      {"source": "/s/W0.lvd", "outcome": "converted",
       "destination": "/d/W0.lvd", "verified": true, "unchanged": true},
      {"source": "/s/W9.lvd", "outcome": "converted",
       "destination": "/d/W9.lvd", "verified": false},
      {"source": "/s/W2.lvd", "outcome": "skipped", "reason": "exists"},
      {"source": "/s/W3.lvd", "outcome": "skipped", "reason": "single-ended"},
      {"source": "/s/W4.lvd", "outcome": "skipped", "reason": "no-circuits"},
      {"source": "/s/W5.lvd", "outcome": "fault",
       "detail": "malformed record at line 3"}
    ]
  })");
  EXPECT_EQ(report, expected) << report.dump(2);
}

TEST(ConvertReportJsonTest, AnUntouchedViewGivesEmptyFieldsAndNoCount) {
  RunResult refused;
  refused.outcome = RunOutcome::kEndedEarly;
  const std::string text = ConvertReportJson(
      refused, "refused: the model name is blank", RecordingDisplay());
  EXPECT_EQ(
      text,
      R"({"result":"failed","reason":"refused: the model name is )"
      R"(blank","guide":[],"messages":[],"source_rows":[],)"
      R"("destination_rows":[],"converted":"0","verified":0,"files":[]})");
}

TEST(ConvertReportJsonTest, EscapesControlCharactersAndKeepsUtf8Raw) {
  RecordingDisplay view;
  view.ShowGuide("a\"b\\c\nd\te\x01 品名");
  const std::string text =
      ConvertReportJson(Ended(RunOutcome::kCompleted), "", view);
  EXPECT_NE(text.find(R"("a\"b\\c\nd\te\u0001 品名")"), std::string::npos)
      << text;
  EXPECT_EQ(text.find('\n'), std::string::npos);
}

TEST(ConvertReportJsonTest, ReplacesBytesThatAreNotUtf8) {
  RecordingDisplay view;
  view.ReportFile(Report("/s/\x83\x41.lvd", FileOutcome::kSkippedNoCircuits));
  const Json report =
      Json::parse(ConvertReportJson(Ended(RunOutcome::kCompleted), "", view));
  EXPECT_EQ(report["files"][0]["source"], "/s/\xEF\xBF\xBD\x41.lvd");
}

TEST(ListReportJsonTest, NamesEveryOutcomeAndHoldsTheSourceRows) {
  const struct {
    ListingOutcome outcome;
    const char* word;
    const char* reason;
  } cases[] = {
      {ListingOutcome::kListed, "listed", ""},
      {ListingOutcome::kEmpty, "empty", ""},
      {ListingOutcome::kReaderFailed, "failed", "W1.lvd: invalid header"},
      {ListingOutcome::kEnumerationFailed, "failed",
       "/s/: the folder cannot be read"},
  };
  for (const auto& c : cases) {
    const Json report =
        Json::parse(ListReportJson(c.outcome, c.reason, FilledView()));
    EXPECT_EQ(report["result"], c.word);
    EXPECT_EQ(report.size(), *c.reason == '\0' ? 4u : 5u);
    if (*c.reason != '\0') {
      EXPECT_EQ(report["reason"], c.reason);
    }
    EXPECT_EQ(report["guide"].size(), 1u);
    EXPECT_EQ(report["messages"].size(), 2u);
    EXPECT_EQ(report["rows"], Json::parse(R"([["    1", "W1", "   3", "   5",
                                                "   0", "  B65"]])"));
  }
}

}  // namespace
}  // namespace cordshift
