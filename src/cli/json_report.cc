#include "cli/json_report.h"

#include <nlohmann/json.hpp>

#include "cli/text_report.h"
#include "present/reasons.h"

namespace cordshift {
namespace {

// Keys in the documented order, not sorted.
using Json = nlohmann::ordered_json;

Json GuideArray(const RecordingDisplay& view) { return Json(view.guides()); }

Json MessageArray(const RecordingDisplay& view) {
  Json messages = Json::array();
  for (const RecordedMessage& message : view.messages()) {
    messages.push_back(
        {{"icon", IconWord(message.icon)}, {"text", message.text}});
  }
  return messages;
}

Json RowArray(const RecordingDisplay& view, ListId list) {
  return Json(view.Rows(list));
}

Json FileEntry(const FileReport& report) {
  Json entry = {{"source", report.source}};
  switch (report.outcome) {
    case FileOutcome::kConverted:
      entry["outcome"] = "converted";
      entry["destination"] = report.destination;
      entry["verified"] = report.verified;
      if (report.unchanged) entry["unchanged"] = true;
      break;
    case FileOutcome::kSkippedExists:
    case FileOutcome::kSkippedSameName:
    case FileOutcome::kSkippedSingleEnded:
    case FileOutcome::kSkippedNoCircuits:
      entry["outcome"] = "skipped";
      entry["reason"] = SkipReasonWord(report.outcome);
      break;
    case FileOutcome::kFault:
      entry["outcome"] = "fault";
      entry["detail"] = report.fault ? FaultDetail(*report.fault) : "";
      break;
  }
  return entry;
}

int VerifiedCount(const RecordingDisplay& view) {
  int verified = 0;
  for (const FileReport& report : view.reports()) {
    if (report.outcome == FileOutcome::kConverted && report.verified) {
      ++verified;
    }
  }
  return verified;
}

Json FileArray(const RecordingDisplay& view) {
  Json files = Json::array();
  for (const FileReport& report : view.reports()) {
    files.push_back(FileEntry(report));
  }
  return files;
}

// Paths come from the file system and need not be valid UTF-8; such bytes
// are replaced rather than failing the whole report.
std::string Dump(const Json& report) {
  return report.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace

std::string_view RunResultWord(RunOutcome outcome) {
  switch (outcome) {
    case RunOutcome::kCompleted:
      return "completed";
    case RunOutcome::kStopped:
      return "stopped";
    case RunOutcome::kEndedEarly:
      break;
  }
  return "failed";
}

std::string_view SkipReasonWord(FileOutcome outcome) {
  switch (outcome) {
    case FileOutcome::kSkippedExists:
      return "exists";
    case FileOutcome::kSkippedSameName:
      return "same-name";
    case FileOutcome::kSkippedSingleEnded:
      return "single-ended";
    case FileOutcome::kSkippedNoCircuits:
    case FileOutcome::kConverted:
    case FileOutcome::kFault:
      break;
  }
  return "no-circuits";
}

std::string_view ListingResultWord(ListingOutcome outcome) {
  switch (outcome) {
    case ListingOutcome::kListed:
      return "listed";
    case ListingOutcome::kEmpty:
      return "empty";
    case ListingOutcome::kReaderFailed:
    case ListingOutcome::kEnumerationFailed:
    case ListingOutcome::kNoSuchFolder:
      break;
  }
  return "failed";
}

std::string ConvertReportJson(const RunResult& result, std::string_view reason,
                              const RecordingDisplay& view) {
  Json report = Json::object();
  report["result"] = RunResultWord(result.outcome);
  if (result.outcome != RunOutcome::kCompleted) report["reason"] = reason;
  report["guide"] = GuideArray(view);
  report["messages"] = MessageArray(view);
  report["source_rows"] = RowArray(view, ListId::kSource);
  report["destination_rows"] = RowArray(view, ListId::kDestination);
  report["converted"] = ConvertedCountText(view);
  report["verified"] = VerifiedCount(view);
  report["files"] = FileArray(view);
  return Dump(report);
}

std::string ListReportJson(ListingOutcome outcome, std::string_view reason,
                           const RecordingDisplay& view) {
  Json report = Json::object();
  report["result"] = ListingResultWord(outcome);
  if (!reason.empty()) report["reason"] = reason;
  report["guide"] = GuideArray(view);
  report["messages"] = MessageArray(view);
  report["rows"] = RowArray(view, ListId::kSource);
  return Dump(report);
}

}  // namespace cordshift
