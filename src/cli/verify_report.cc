#include "cli/verify_report.h"

#include <array>
#include <cstddef>
#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "cli/json_report.h"
#include "cli/text_report.h"
#include "platform/codepage.h"
#include "platform/folder_path.h"
#include "present/reasons.h"

namespace cordshift {
namespace {

using Json = nlohmann::ordered_json;

constexpr std::array kOutcomes = {
    VerifiedOutcome::kMatch,   VerifiedOutcome::kMissing,
    VerifiedOutcome::kDiffers, VerifiedOutcome::kSkipped,
    VerifiedOutcome::kFault,   VerifiedOutcome::kExtra,
};

std::string_view MismatchWord(MismatchKind kind) {
  switch (kind) {
    case MismatchKind::kHeaderLine:
      return "header";
    case MismatchKind::kMissingRecord:
      return "missing-record";
    case MismatchKind::kExtraRecord:
      return "extra-record";
    case MismatchKind::kComment:
      return "comment";
    case MismatchKind::kSourceLine:
    case MismatchKind::kRecord:
      break;
  }
  return "record";
}

// A fault in the words of a comparison: a destination that cannot be read
// is no file written by this command.
std::string VerifyFaultDetail(const FileFault& fault) {
  if (fault.kind == FaultKind::kWrittenFileUnreadable) {
    return "cannot read " + fault.path;
  }
  return FaultDetail(fault);
}

std::string Quoted(std::string_view cp932) {
  return "\"" + Cp932ToUtf8Lossy(cp932) + "\"";
}

// Where and how a destination first differs from its source.
std::string MismatchDetail(const Mismatch& mismatch) {
  const std::string line = std::to_string(mismatch.destination_line);
  const std::string lines = "line " + line + " (source line " +
                            std::to_string(mismatch.source_line) + ")";
  switch (mismatch.kind) {
    case MismatchKind::kMissingRecord:
      return lines + ": expected " + Quoted(mismatch.expected) +
             ", found the end of the file";
    case MismatchKind::kExtraRecord:
      return "line " + line + ": found " + Quoted(mismatch.found) +
             " after the source's last record";
    case MismatchKind::kComment:
      return "comment: expected " + Quoted(mismatch.expected) + ", found " +
             Quoted(mismatch.found);
    case MismatchKind::kHeaderLine:
      if (mismatch.found.empty()) {
        return lines + ": expected " + Quoted(mismatch.expected) +
               ", found the end of the file";
      }
      break;
    case MismatchKind::kSourceLine:
    case MismatchKind::kRecord:
      break;
  }
  return lines + ": expected " + Quoted(mismatch.expected) + ", found " +
         Quoted(mismatch.found);
}

std::string Detail(const VerifiedFile& file) {
  switch (file.outcome) {
    case VerifiedOutcome::kMissing:
      return "no destination file";
    case VerifiedOutcome::kDiffers:
      return file.mismatch ? MismatchDetail(*file.mismatch) : std::string();
    case VerifiedOutcome::kSkipped:
      return std::string(SkipReasonWord(file.skip));
    case VerifiedOutcome::kFault:
      return file.fault ? VerifyFaultDetail(*file.fault) : std::string();
    case VerifiedOutcome::kMatch:
    case VerifiedOutcome::kExtra:
      break;
  }
  return {};
}

// A path named from its root, as the tables name files.
std::string FromRoot(const std::string& path, const std::string& root) {
  const std::string prefix = WithTrailingSeparator(root);
  return path.starts_with(prefix) ? path.substr(prefix.size()) : path;
}

std::size_t CountOf(const TreeVerification& verification,
                    VerifiedOutcome outcome) {
  std::size_t count = 0;
  for (const VerifiedFile& file : verification.files) {
    if (file.outcome == outcome) ++count;
  }
  return count;
}

Json FileEntry(const VerifiedFile& file) {
  Json entry = Json::object();
  if (!file.source.empty()) entry["source"] = file.source;
  entry["destination"] = file.destination;
  entry["outcome"] = VerifiedOutcomeWord(file.outcome);
  if (file.outcome == VerifiedOutcome::kSkipped) {
    entry["reason"] = SkipReasonWord(file.skip);
  } else if (file.outcome == VerifiedOutcome::kFault && file.fault) {
    entry["detail"] = VerifyFaultDetail(*file.fault);
  } else if (file.outcome == VerifiedOutcome::kDiffers && file.mismatch) {
    const Mismatch& mismatch = *file.mismatch;
    entry["what"] = MismatchWord(mismatch.kind);
    if (mismatch.source_line != 0) entry["source_line"] = mismatch.source_line;
    if (mismatch.destination_line != 0) {
      entry["destination_line"] = mismatch.destination_line;
    }
    entry["expected"] = Cp932ToUtf8Lossy(mismatch.expected);
    entry["found"] = Cp932ToUtf8Lossy(mismatch.found);
  }
  return entry;
}

}  // namespace

std::string_view VerifiedOutcomeWord(VerifiedOutcome outcome) {
  switch (outcome) {
    case VerifiedOutcome::kMatch:
      return "match";
    case VerifiedOutcome::kMissing:
      return "missing";
    case VerifiedOutcome::kDiffers:
      return "differs";
    case VerifiedOutcome::kSkipped:
      return "skipped";
    case VerifiedOutcome::kFault:
      return "fault";
    case VerifiedOutcome::kExtra:
      break;
  }
  return "extra";
}

bool EveryFileMatches(const TreeVerification& verification) {
  for (const VerifiedFile& file : verification.files) {
    if (file.outcome != VerifiedOutcome::kMatch &&
        file.outcome != VerifiedOutcome::kSkipped) {
      return false;
    }
  }
  return true;
}

std::string VerifyReportText(const TreeVerification& verification,
                             const TreeVerificationOptions& options) {
  std::vector<TableRow> rows;
  rows.reserve(verification.files.size());
  for (const VerifiedFile& file : verification.files) {
    rows.push_back({file.source.empty()
                        ? FromRoot(file.destination, options.destination_root)
                        : FromRoot(file.source, options.source_root),
                    std::string(VerifiedOutcomeWord(file.outcome)),
                    Detail(file)});
  }
  std::string text = FormatTable({"File", "Result", "Detail"}, rows);
  text += "\n" + std::to_string(verification.files.size()) + " files:";
  const char* separator = " ";
  for (const VerifiedOutcome outcome : kOutcomes) {
    text += separator + std::to_string(CountOf(verification, outcome)) + " " +
            std::string(VerifiedOutcomeWord(outcome));
    separator = ", ";
  }
  return text + "\n";
}

std::string VerifyReportJson(const TreeVerification& verification,
                             std::string_view reason) {
  Json report = Json::object();
  if (!reason.empty()) {
    report["result"] = "failed";
    report["reason"] = reason;
  } else {
    report["result"] = EveryFileMatches(verification) ? "match" : "differs";
  }
  Json files = Json::array();
  for (const VerifiedFile& file : verification.files) {
    files.push_back(FileEntry(file));
  }
  report["files"] = std::move(files);
  Json counts = Json::object();
  for (const VerifiedOutcome outcome : kOutcomes) {
    counts[std::string(VerifiedOutcomeWord(outcome))] =
        CountOf(verification, outcome);
  }
  report["counts"] = std::move(counts);
  return report.dump(-1, ' ', false, Json::error_handler_t::replace);
}

}  // namespace cordshift
