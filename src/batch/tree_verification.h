#ifndef CORDSHIFT_BATCH_TREE_VERIFICATION_H_
#define CORDSHIFT_BATCH_TREE_VERIFICATION_H_

// Two existing trees compared as a run would map one onto the other: the
// same analysis of the source tree, the same enumeration of each folder's
// wiring files and of their comment files, and the same files passed over.
// Each source file's converted counterpart is read and compared circuit by
// circuit (verification.h); nothing is written.

#include <optional>
#include <string>
#include <vector>

#include "batch/conversion_run.h"
#include "wiring/direction.h"
#include "wiring/file_report.h"
#include "wiring/verification.h"

namespace cordshift {

// What to compare (UTF-8 texts). The model name, the limits and the
// notation are compared only when given.
struct TreeVerificationOptions {
  Direction direction = Direction::kContinuityToHipot;
  std::string source_root;
  std::string destination_root;
  std::optional<Notation> notation;
  std::optional<std::string> model_name;
  std::optional<std::string> lower;
  std::optional<std::string> upper;
};

enum class VerifiedOutcome {
  kMatch,    // the destination says what the source says
  kMissing,  // no destination file
  kDiffers,  // `mismatch` says where first
  kSkipped,  // a run would not convert it: `skip` says why
  kFault,    // a run would end at this source file: `fault` says why
  kExtra,    // a destination wiring file that no source file maps to
};

struct VerifiedFile {
  std::string source;  // empty for an extra file
  std::string destination;
  VerifiedOutcome outcome = VerifiedOutcome::kMatch;
  // kSkippedSameName, kSkippedSingleEnded or kSkippedNoCircuits.
  FileOutcome skip = FileOutcome::kSkippedNoCircuits;
  std::optional<Mismatch> mismatch;
  std::optional<FileFault> fault;

  bool operator==(const VerifiedFile&) const = default;
};

struct TreeVerification {
  // Why the comparison could not be made, as a run would refuse the same
  // inputs; the refusals of the model name and the limits only concern
  // those given.
  std::optional<RunRefusal> refusal;
  // The folder of the source tree that could not be read, and whether it
  // exists.
  std::optional<std::string> unreadable_folder;
  bool unreadable_folder_exists = false;
  // Every source file in the order a run takes them, then every extra
  // file.
  std::vector<VerifiedFile> files;
};

TreeVerification VerifyTree(const TreeVerificationOptions& options);

}  // namespace cordshift

#endif  // CORDSHIFT_BATCH_TREE_VERIFICATION_H_
