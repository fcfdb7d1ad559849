#include "wiring/summaries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "present/list_rows.h"
#include "present/recording_display.h"
#include "support/temp_folder.h"
#include "support/wiring_fixture.h"

namespace cordshift {
namespace {

using testing::ListFolder;
using testing::TempFolder;
using testing::WriteLines;
using Row = RecordingDisplay::Row;

const std::vector<std::string> kHeader = {"TBS480", "20240101000000", "0", "0"};

std::vector<std::string> WithHeader(std::vector<std::string> records) {
  std::vector<std::string> lines = kHeader;
  lines.insert(lines.end(), records.begin(), records.end());
  return lines;
}

class SummaryTest : public ::testing::Test {
 protected:
  void AddFile(const std::string& name, const std::vector<std::string>& lines) {
    WriteLines(folder_ / (name + ".lvd"), lines);
  }

  // Reads the folder's summaries and shows their rows as a listing does.
  bool ListContinuity() {
    return List(&SummarizeContinuityFiles, ListId::kSource);
  }
  bool ListHipot() { return List(&SummarizeHipotFiles, ListId::kDestination); }

  bool List(SummaryReader reader, ListId list) {
    files_ = ListFolder(folder_.path());
    const SummaryReading reading = reader(files_, workspace_, nullptr, view_);
    view_.ShowList(
        list, std::make_shared<const ListRows>(
                  RowStyle::kListing, ListingRows(files_, reading.files_read)));
    if (reading.fault) view_.ReportFile(*reading.fault);
    return reading.complete();
  }

  TempFolder folder_;
  RecordingDisplay view_;
  WiringFileList files_;
  WiringWorkspace workspace_;
};

struct ContinuityCase {
  const char* name;
  std::vector<std::string> records;
  bool listed;  // false: the listing fails
  Row row;      // empty: the file gets no row
};

class ContinuitySummaryTest
    : public SummaryTest,
      public ::testing::WithParamInterface<ContinuityCase> {};

TEST_P(ContinuitySummaryTest, RowOfOneFile) {
  AddFile("F", WithHeader(GetParam().records));
  EXPECT_EQ(ListContinuity(), GetParam().listed);
  const auto& rows = view_.Rows(ListId::kSource);
  if (GetParam().row.empty()) {
    EXPECT_TRUE(rows.empty());
    EXPECT_EQ(files_[0].summary.circuits, 0);
  } else {
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], GetParam().row);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ContinuitySummaryTest,
    ::testing::Values(
        ContinuityCase{"AbHighestShownAsAb",
                       {"A1-B1,0,100"},
                       true,
                       {"    1", "F", "   1", "   2", "   0", "   B1"}},
        ContinuityCase{"SequentialHighestShownAsNumber",
                       {"0001-0065,0,100"},
                       true,
                       {"    1", "F", "   1", "   2", "   0", "   65"}},
        ContinuityCase{"LastRecordDecidesNotation",
                       {"0001-0065,0,100", "0002-0003,0,100", "a1-a2,0,1"},
                       true,
                       {"    1", "F", "   3", "   4", "   0", "   B1"}},
        ContinuityCase{"SingleEndedBIsCircuitWithoutTerminals",
                       {"0001-0002,0,100", "B5-,0,100"},
                       true,
                       {"    1", "F", "   2", "   2", "   0", "   A2"}},
        ContinuityCase{"SpacesAroundTerminals",
                       {"  12 - 65 ,0,100"},
                       true,
                       {"    1", "F", "   1", "   2", "   0", "   65"}},
        ContinuityCase{
            "OutOfRangeTerminalsGiveNoRow", {"0000-9000,0,100"}, true, {}},
        ContinuityCase{"NoRecordsGivesNoRow", {}, true, {}},
        ContinuityCase{"SingleEndedAFails", {"A5-,0,100"}, false, {}},
        ContinuityCase{"AbWithPlainNumberFails", {"A1-65,0,100"}, false, {}},
        ContinuityCase{"AbWithOtherLetterFails", {"A1-C5,0,100"}, false, {}},
        ContinuityCase{"AbZeroFails", {"A0-A1,0,100"}, false, {}},
        ContinuityCase{"AbBeyondRangeFails", {"A4097-A1,0,100"}, false, {}},
        ContinuityCase{"FourFieldsFail", {"A1-A2,0,100,5"}, false, {}},
        ContinuityCase{"TwoHyphensFail", {"1-2-3,0,100"}, false, {}},
        ContinuityCase{"BlankLineFails", {"A1-A2,0,100", ""}, false, {}}),
    [](const auto& test_info) { return std::string(test_info.param.name); });

TEST_F(SummaryTest, ContinuityNumbersRowsByFilePosition) {
  AddFile("1", WithHeader({"A1-A2,0,100"}));
  AddFile("2", kHeader);  // no records: no row
  AddFile("3", WithHeader({"0001-0002,0,100", "0003-0002,0,100"}));
  ASSERT_TRUE(ListContinuity());
  EXPECT_EQ(
      view_.Rows(ListId::kSource),
      (std::vector<Row>{{"    1", "1", "   1", "   2", "   0", "   A2"},
                        {"    3", "3", "   2", "   3", "   0", "    3"}}));
  EXPECT_EQ(testing::Circuits(files_), (std::vector<std::int32_t>{1, 0, 2}));
  // The highest terminal in the notation of the file's last record; none
  // stored for a file without terminals.
  EXPECT_EQ(testing::EachFile(files_,
                              [](const WiringFile& file) {
                                return std::pair(file.summary.highest_terminal,
                                                 file.summary.highest_in_ab);
                              }),
            (std::vector<std::pair<std::int32_t, bool>>{
                {2, true}, {0, false}, {3, false}}));
}

TEST_F(SummaryTest, ContinuityHeaderRules) {
  // The summary accepts a line of spaces as model name and any non-empty
  // date; the counts must be non-negative numbers.
  AddFile("1", {"   ", "not a date", "1", "2", "A1-A2,0,100"});
  ASSERT_TRUE(ListContinuity());
  EXPECT_EQ(view_.Rows(ListId::kSource).size(), 1u);

  for (const auto& header :
       std::vector<std::vector<std::string>>{{"", "20240101000000", "0", "0"},
                                             {"M", "", "0", "0"},
                                             {"M", "20240101000000", "-1", "0"},
                                             {"M", "20240101000000", "0", "x"},
                                             {"M", "20240101000000", "0"}}) {
    AddFile("1", header);
    EXPECT_FALSE(ListContinuity()) << header[0] << "|" << header[1];
  }
}

TEST_F(SummaryTest, ContinuityFaultKeepsEarlierRows) {
  AddFile("1", WithHeader({"A1-A2,0,100"}));
  AddFile("2", WithHeader({"A1-A2,0"}));
  AddFile("3", WithHeader({"A1-A2,0,100"}));
  EXPECT_FALSE(ListContinuity());
  EXPECT_EQ(view_.Rows(ListId::kSource).size(), 1u);
  EXPECT_EQ(testing::Circuits(files_), (std::vector<std::int32_t>{1, 0, 0}));
}

TEST_F(SummaryTest, HipotListsEveryFile) {
  AddFile("1", WithHeader({"1-65,1,0,2000,1,0", "1-66,1,0,2000,1,0"}));
  AddFile("2", WithHeader({"12-,1,0,2000,1,0", "0-8193,1,0,2000,1,0",
                           "B5-3,1,0,2000,1,0", "-7,1,0,2000,1,0"}));
  AddFile("3", kHeader);
  ASSERT_TRUE(ListHipot());
  EXPECT_EQ(
      view_.Rows(ListId::kDestination),
      (std::vector<Row>{{"    1", "1", "   2", "   3", "   0", "   66"},
                        {"    2", "2", "   4", "   3", "   1", "   12"},
                        {"    3", "3", "   0", "   0", "   0", "    0"}}));
  EXPECT_EQ(testing::EachFile(files_,
                              [](const WiringFile& file) {
                                return file.summary.single_ended;
                              }),
            (std::vector<std::int32_t>{0, 1, 0}));
}

TEST_F(SummaryTest, HipotFaultStopsTheListing) {
  AddFile("1", WithHeader({"1-65,1,0,2000,1,0"}));
  AddFile("2", WithHeader({"1-65,1,0,2000,1"}));
  AddFile("3", WithHeader({"1-65,1,0,2000,1,0"}));
  EXPECT_FALSE(ListHipot());
  EXPECT_EQ(view_.Rows(ListId::kDestination).size(), 1u);
  EXPECT_EQ(testing::Circuits(files_), (std::vector<std::int32_t>{1, 0, 0}));
  ASSERT_FALSE(view_.reports().empty());
  EXPECT_EQ(view_.reports().back().outcome, FileOutcome::kFault);
}

TEST_F(SummaryTest, ShortFileFailsBothReaders) {
  AddFile("1", {"TBS480", "20240101000000", "0"});
  EXPECT_FALSE(ListHipot());
  EXPECT_FALSE(ListContinuity());
}

TEST_F(SummaryTest, EmptyListSucceedsWithoutRows) {
  ASSERT_TRUE(ListContinuity());
  EXPECT_TRUE(view_.Rows(ListId::kSource).empty());
}

TEST_F(SummaryTest, ShiftJisNamesAndModelsPassThrough) {
  // Model name 表示 (0x5C trail byte) and a file named ソフト.
  AddFile("ソフト",
          {"\x95\x5c\x8e\xa6", "20240101000000", "1", "2", "A1-A2,0,100"});
  ASSERT_TRUE(ListContinuity());
  EXPECT_EQ(view_.Rows(ListId::kSource).at(0).at(1), "ソフト");
}

// A large folder is read by two threads, but the result is that of reading
// its files in order: the summaries up to the first fault, which is the one
// reported, whichever half it is in. Keeping the bytes reads in one thread,
// the reference.
TEST_F(SummaryTest, LargeFolderReadsAsInOrder) {
  constexpr int kFiles = 1500;
  const struct {
    const char* what;
    std::vector<int> faulty;  // file numbers with a malformed record
  } kCases[] = {
      {"no fault", {}},
      {"fault in the first half", {300, 1200}},
      {"fault in the second half", {1100}},
  };
  for (const auto& c : kCases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(folder_.path());
    std::filesystem::create_directories(folder_.path());
    for (int file_number = 1; file_number <= kFiles; ++file_number) {
      const bool faulty = std::find(c.faulty.begin(), c.faulty.end(),
                                    file_number) != c.faulty.end();
      char name[8];
      std::snprintf(name, sizeof name, "%04d", file_number);
      AddFile(name, WithHeader(
                        {faulty ? "A1-A2,0"
                                : "A1-A" + std::to_string(file_number % 9 + 1) +
                                      ",0,100"}));
    }
    WiringFileList in_order = ListFolder(folder_.path());
    KeptSources keep(0);
    keep.StartFolder(kFiles);
    const SummaryReading expected =
        SummarizeContinuityFiles(in_order, workspace_, &keep, view_);
    files_ = ListFolder(folder_.path());
    const SummaryReading reading =
        SummarizeContinuityFiles(files_, workspace_, nullptr, view_);
    EXPECT_EQ(reading.files_read, expected.files_read);
    EXPECT_EQ(reading.fault, expected.fault);
    EXPECT_EQ(reading.stopped, expected.stopped);
    for (int index = 0; index < kFiles; ++index) {
      ASSERT_EQ(files_[static_cast<std::size_t>(index)].summary,
                in_order[static_cast<std::size_t>(index)].summary)
          << index;
      ASSERT_EQ(files_[static_cast<std::size_t>(index)].summarised,
                in_order[static_cast<std::size_t>(index)].summarised)
          << index;
    }
    EXPECT_EQ(reading.files_read,
              c.faulty.empty() ? kFiles : c.faulty.front() - 1);
  }
}

}  // namespace
}  // namespace cordshift
