#include "wiring_fuzz.h"

#include <algorithm>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "fuzz_support.h"
#include "platform/folder_path.h"
#include "platform/ini_access.h"
#include "platform/ini_file.h"
#include "platform/text_file.h"
#include "present/list_rows.h"
#include "present/recording_display.h"
#include "present/run_presenter.h"
#include "wiring/conversions.h"
#include "wiring/summaries.h"
#include "wiring/wiring_file_list.h"

namespace cordshift::fuzz {
namespace {

namespace fs = std::filesystem;

constexpr char kName[] = "W";
constexpr std::string_view kOldWiringFile =
    "OLD\r\n20000101000000\r\n1\r\n2\r\n1-2,1,0,2000,1,0\r\n";
constexpr std::string_view kOldCompanion = "[Purpose]\r\nComment=old\r\n";

// The record lines after the four header lines; no value for fewer than
// four lines.
std::optional<int> RecordLineCount(std::string_view text) {
  LineReader lines(text);
  int count = 0;
  while (lines.Next()) ++count;
  if (count < 4) return std::nullopt;
  return count - 4;
}

WiringFileList OneFileList(const fs::path& folder) {
  return {
      {kName, WithTrailingSeparator(PathToUtf8(folder)), kWiringExtension, {}}};
}

// Reads the summaries and shows their rows and fault as a listing does.
bool Summarize(Side side, RecordingDisplay& view, WiringFileList& list,
               WiringWorkspace& workspace) {
  const SummaryReading reading =
      side == Side::kContinuity
          ? SummarizeContinuityFiles(list, workspace, nullptr, view)
          : SummarizeHipotFiles(list, workspace, nullptr, view);
  view.ShowList(ListId::kSource,
                std::make_shared<const ListRows>(
                    RowStyle::kListing, ListingRows(list, reading.files_read)));
  if (reading.fault) view.ReportFile(*reading.fault);
  return reading.complete();
}

int CellNumber(const RecordingDisplay::Row& row, std::size_t column) {
  return std::stoi(row.at(column));
}

// The options byte of a conversion input.
struct FuzzedOptions {
  bool over_write;
  bool sequential;
  bool dry_run;
  bool existing_destination;
  std::string_view lower;
  std::string_view upper;
};

FuzzedOptions OptionsFrom(unsigned char byte) {
  constexpr std::array<std::array<std::string_view, 2>, 4> kLimits = {{
      {"0", "2000"},
      {"10", "100"},
      {" 5 ", "1e3"},
      {"0.5", "2.5"},
  }};
  const auto& limits = kLimits[(byte >> 4) & 3u];
  return {(byte & 1u) != 0, (byte & 2u) != 0, (byte & 4u) != 0,
          (byte & 8u) != 0, limits[0],        limits[1]};
}

class OneFileConversion {
 public:
  OneFileConversion(Side source_side, const fs::path& scratch,
                    std::string_view input)
      : side_(source_side),
        options_(OptionsFrom(static_cast<unsigned char>(input.front()))),
        source_(scratch / "source"),
        destination_(scratch / "destination") {
    std::string_view rest = input.substr(1);
    wiring_ = TakeUntil(rest, kCompanionSeparator);
    has_companion_ = input.find(kCompanionSeparator) != std::string_view::npos;
    companion_ = rest;
  }

  void Run(WiringWorkspace& workspace) {
    Prepare();
    WiringFileList source = OneFileList(source_);
    RecordingDisplay view;
    // A run converts only a folder whose listing succeeded with rows.
    if (!Summarize(side_, view, source, workspace) ||
        view.Rows(ListId::kSource).empty()) {
      return;
    }
    const ConversionInputs inputs = Inputs();
    FolderJob job;
    job.source = &source;
    job.destination_folder = WithTrailingSeparator(PathToUtf8(destination_));
    const Direction direction = side_ == Side::kContinuity
                                    ? Direction::kContinuityToHipot
                                    : Direction::kHipotToContinuity;
    RunPresenter presenter(view, direction);
    presenter.FolderConversionStarted(job.destination_folder);
    const bool ok =
        side_ == Side::kContinuity
            ? ConvertFolderToHipot(presenter, job, inputs, workspace)
            : ConvertFolderToContinuity(presenter, job, inputs, workspace);
    presenter.RunEnded(false);
    const int converted = static_cast<int>(
        std::count_if(view.reports().begin(), view.reports().end(),
                      [](const FileReport& report) {
                        return report.outcome == FileOutcome::kConverted;
                      }));
    CheckOutcome(ok, view, converted, workspace);
  }

 private:
  void Prepare() {
    fs::remove_all(source_);
    fs::remove_all(destination_);
    fs::create_directories(source_);
    fs::create_directories(destination_);
    WriteBytes(source_ / "W.lvd", wiring_);
    if (has_companion_) WriteBytes(source_ / "W.ini", companion_);
    if (options_.existing_destination) {
      WriteBytes(destination_ / "W.lvd", kOldWiringFile);
      WriteBytes(destination_ / "W.ini", kOldCompanion);
    }
  }

  ConversionInputs Inputs() const {
    ConversionInputs inputs;
    inputs.model_name = side_ == Side::kContinuity ? "TBS480" : "TBL480";
    inputs.lower = options_.lower;
    inputs.upper = options_.upper;
    inputs.notation =
        options_.sequential ? Notation::kSequential : Notation::kAb;
    inputs.overwrite = options_.over_write;
    inputs.dry_run = options_.dry_run;
    return inputs;
  }

  bool DestinationIsUntouched() const {
    const fs::path target = destination_ / "W.lvd";
    const fs::path companion = destination_ / "W.ini";
    if (options_.existing_destination) {
      return ReadBytes(target) == kOldWiringFile &&
             ReadBytes(companion) == kOldCompanion;
    }
    return !fs::exists(target) && !fs::exists(companion);
  }

  void CheckOutcome(bool ok, const RecordingDisplay& view, int converted,
                    WiringWorkspace& workspace) const {
    Require(ReadBytes(source_ / "W.lvd") == wiring_,
            "the source file is untouched");
    if (has_companion_) {
      Require(ReadBytes(source_ / "W.ini") == companion_,
              "the source comment file is untouched");
    }
    Require(HasNoTempFiles(destination_), "no temporary file is left");
    const bool written =
        ok && !view.reports().empty() &&
        view.reports().back().outcome == FileOutcome::kConverted &&
        !options_.dry_run;
    // The written file is read back against its source; a fault there
    // means the conversion and the listing's reader disagree.
    Require(std::none_of(view.reports().begin(), view.reports().end(),
                         [](const FileReport& report) {
                           return report.fault &&
                                  (report.fault->kind ==
                                       FaultKind::kWrittenFileDiffers ||
                                   report.fault->kind ==
                                       FaultKind::kWrittenCommentDiffers);
                         }),
            "what is written reads back as its source says");
    Require(ok || converted == 0, "a failed folder counts nothing");
    if (!written) {
      Require(DestinationIsUntouched(),
              "a file not converted leaves the destination as it was");
      return;
    }
    CheckWrittenFile(view, workspace);
    CheckCopiedComment();
  }

  // The written file reads back on its own side with the counts that the
  // conversion put into its row.
  void CheckWrittenFile(const RecordingDisplay& view,
                        WiringWorkspace& workspace) const {
    Require(view.Rows(ListId::kDestination).size() == 1,
            "one destination row per converted file");
    const RecordingDisplay::Row row = view.Rows(ListId::kDestination).front();
    WiringFileList output = OneFileList(destination_);
    RecordingDisplay readback;
    const Side other =
        side_ == Side::kContinuity ? Side::kHipot : Side::kContinuity;
    Require(Summarize(other, readback, output, workspace),
            "the converted file reads back");
    Require(output[0].summary.circuits == CellNumber(row, 2),
            "the converted file has the reported circuits");
    Require(output[0].summary.terminals == CellNumber(row, 3),
            "the converted file has the reported terminals");
    Require(output[0].summary.single_ended == 0 || other == Side::kHipot,
            "no single-ended circuit reaches the continuity side");
  }

  void CheckCopiedComment() const {
    const fs::path copied = destination_ / "W.ini";
    const std::optional<std::string> comment =
        has_companion_ ? FindProfileValue(companion_, "Purpose", "Comment")
                       : std::nullopt;
    if (!comment) {
      const bool as_before = options_.existing_destination
                                 ? ReadBytes(copied) == kOldCompanion
                                 : !fs::exists(copied);
      Require(as_before, "without a comment the comment file stays");
      return;
    }
    Require(ReadIniValue(copied, "Purpose", "Comment") == comment,
            "the comment is copied as written");
  }

  Side side_;
  FuzzedOptions options_;
  fs::path source_;
  fs::path destination_;
  std::string_view wiring_;
  std::string_view companion_;
  bool has_companion_ = false;
};

}  // namespace

void SummarizeOneFile(Side side, const fs::path& folder, std::string_view bytes,
                      WiringWorkspace& workspace) {
  WriteBytes(folder / "W.lvd", bytes);
  WiringFileList list = OneFileList(folder);
  RecordingDisplay view;
  const bool ok = Summarize(side, view, list, workspace);
  const auto& rows = view.Rows(ListId::kSource);
  if (!ok) {
    Require(rows.empty(), "a failed summary adds no row");
    Require(view.reports().size() == 1 &&
                view.reports().front().outcome == FileOutcome::kFault,
            "a failed summary reports its fault");
    return;
  }
  const std::optional<int> records = RecordLineCount(bytes);
  Require(records.has_value(), "a summarised file has four header lines");
  // A continuity file without any counted terminal gets no row.
  if (rows.empty()) {
    Require(side == Side::kContinuity, "every hipot file gets a row");
    return;
  }
  Require(rows.size() == 1 && rows.front().size() == 6, "one row of six cells");
  for (const std::string& cell : rows.front()) {
    Require(IsValidUtf8(cell), "list cells are UTF-8");
  }
  Require(list[0].summary.circuits == *records,
          "every record line is a circuit");
  Require(list[0].summary.terminals >= 0 &&
              list[0].summary.terminals <= TableCapacity &&
              list[0].summary.terminals <= 2 * *records,
          "the terminal count is bounded by the records");
  Require(list[0].summary.single_ended >= 0 &&
              list[0].summary.single_ended <= *records,
          "single-ended circuits are circuits");
}

void ConvertOneFile(Side source_side, const fs::path& scratch,
                    std::string_view input, WiringWorkspace& workspace) {
  if (input.empty()) return;
  OneFileConversion(source_side, scratch, input).Run(workspace);
}

}  // namespace cordshift::fuzz
