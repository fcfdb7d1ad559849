#include "batch/conversion_run.h"

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <exception>
#include <filesystem>
#include <memory>
#include <optional>
#include <set>
#include <string>

#include "batch/folder_listing.h"
#include "batch/folder_tree.h"
#include "batch/work_ahead.h"
#include "platform/codepage.h"
#include "platform/folder_path.h"
#include "platform/folder_scan.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "wiring/companion.h"
#include "wiring/conversions.h"
#include "wiring/numeric.h"
#include "wiring/summaries.h"

namespace cordshift {
namespace {

constexpr char kLowerLimitMessage[] =
    "導通抵抗下限値には正の半角数字で記入してください";
constexpr char kUpperLimitMessage[] =
    "導通抵抗上限値には正の半角数字で記入してください";
constexpr char kLimitOrderMessage[] =
    "導通抵抗下限値 < 導通抵抗上限値となるよう記入してください";
constexpr char kUnrepresentableModelMessage[] =
    "変換先機種名にShift-JISで表せない文字が含まれています";
constexpr char kControlCharacterModelMessage[] =
    "変換先機種名に制御文字は使用できません";
constexpr char kSameFolderMessage[] =
    "変換元と変換先に同じフォルダは指定できません";
constexpr char kOverlappingFoldersMessage[] =
    "変換先のフォルダが変換元のフォルダと重なるため変換できません";
constexpr char kAnalysisFailedGuide[] = "フォルダ構成の解析エラー！";
constexpr char kEnumerationFailedGuide[] = "変換元ファイル情報取得エラー！";
constexpr char kConvertingFolderSuffix[] = "フォルダの変換中...";
constexpr char kFolderDoneSuffix[] = "フォルダ 変換完了";
constexpr char kConversionFailedSuffix[] = "の変換に失敗しました";
constexpr char kRunAbortedGuide[] = "異常を検出したため変換を終了します";

// The texts and routines that differ between the two directions.
struct DirectionProfile {
  const char* model_prompt;
  const char* start_text;
  const char* listed_text;
  const char* listing_failed_text;
  const char* label;
  const char* finish_text;
  SummaryReader list_files;
  FolderConversion convert_folder;
  WiringFileList BatchState::*source_list;
  WiringFileList BatchState::*destination_list;
};

constexpr DirectionProfile kToHipot = {
    "変換先機種名を入力してください（例：TBS480）",
    "Loomvantage->LoomvantageHipot 変換開始",
    "変換元の Loomvantage の一覧を表示しました",
    "変換元の Loomvantage の一覧表示ができませんでした",
    "Loomvantage->LoomvantageHipot",
    "Loomvantage->LoomvantageHipot 変換完了",
    &ListLoomvantageFiles,
    &ConvertFolderToHipot,
    &BatchState::SourceLoomvantageList,
    &BatchState::DestHipotList,
};

constexpr DirectionProfile kToLoomvantage = {
    "変換先機種名を入力してください（例：TBL480）",
    "LoomvantageHipot->Loomvantage 変換開始",
    "変換元の LoomvantageHipot の一覧を表示しました",
    "変換元の LoomvantageHipot の一覧表示ができませんでした",
    "LoomvantageHipot->Loomvantage",
    "LoomvantageHipot->Loomvantage 変換完了",
    &ListHipotFiles,
    &ConvertFolderToLoomvantage,
    &BatchState::SourceHipotList,
    &BatchState::DestLoomvantageList,
};

const DirectionProfile& ProfileOf(Direction direction) {
  return direction == Direction::kContinuityToHipot ? kToHipot : kToLoomvantage;
}

// A limit text read by the numeric rule; a number outside 32 bits counts as
// not a number, so it gets the limit's own message rather than ending the
// run without a word.
std::optional<std::int32_t> ReadLimit(std::string_view text) {
  const WholeNumber number = ParseWholeNumber(TrimSpaces(text));
  if (!number.ok()) return std::nullopt;
  return number.value;
}

const char* LimitMessage(LimitFault fault) {
  switch (fault) {
    case LimitFault::kLower:
      return kLowerLimitMessage;
    case LimitFault::kUpper:
      return kUpperLimitMessage;
    case LimitFault::kOrder:
    case LimitFault::kNone:
      break;
  }
  return kLimitOrderMessage;
}

const char* LimitReason(LimitFault fault) {
  switch (fault) {
    case LimitFault::kLower:
      return "refused: the lower limit is not a number of 0 or more";
    case LimitFault::kUpper:
      return "refused: the upper limit is not a number of 0 or more";
    case LimitFault::kOrder:
    case LimitFault::kNone:
      break;
  }
  return "refused: the lower limit is not below the upper limit";
}

// The view of the run as the run's callees see it: everything goes to the
// caller's view, and the last fault reported is kept, since it says why the
// run ended.
class FaultKeepingView : public ConversionView {
 public:
  explicit FaultKeepingView(ConversionView& view) : view_(view) {}

  void ShowGuide(std::string_view text) override { view_.ShowGuide(text); }
  void ShowMessage(std::string_view text, MessageIcon icon) override {
    view_.ShowMessage(text, icon);
  }
  void ClearList(ListId list) override { view_.ClearList(list); }
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override {
    view_.SetListCell(list, row, column, text);
  }
  int ListRowCount(ListId list) const override {
    return view_.ListRowCount(list);
  }
  void SetConvertedCount(std::string_view caption) override {
    view_.SetConvertedCount(caption);
  }
  void ReportFile(const FileReport& report) override {
    if (report.outcome == FileOutcome::kFault) last_fault_ = report;
    view_.ReportFile(report);
  }
  void ShowRunProgress(int folders_done, int folder_count) override {
    view_.ShowRunProgress(folders_done, folder_count);
  }
  bool StopRequested() const override { return view_.StopRequested(); }

  const std::optional<FileReport>& last_fault() const { return last_fault_; }

 private:
  ConversionView& view_;
  std::optional<FileReport> last_fault_;
};

// A path below the source root is named from there, as the user sees the
// tree; any other path whole.
std::string PathInTree(const std::string& path, const std::string& root) {
  const std::string prefix = WithTrailingSeparator(root);
  return path.starts_with(prefix) && path.size() > prefix.size()
             ? path.substr(prefix.size())
             : path;
}

void Warn(ConversionView& view, const std::string& text) {
  view.ShowMessage(text, MessageIcon::kExclamation);
}

// CR or LF in the model name would add header lines, and any other control
// character makes a name no tester shows; a tab alone would even pass as
// not blank.
bool HasControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), [](char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7f;
  });
}

// The identities of the source folders of the tree.
std::set<FileIdentity> SourceFolderIdentities(
    const std::vector<FolderPair>& folders) {
  std::set<FileIdentity> sources;
  for (const FolderPair& pair : folders) {
    if (const std::optional<FileIdentity> id = IdentityOf(pair.source)) {
      sources.insert(*id);
    }
  }
  return sources;
}

// True when a destination folder of the tree is one of its source folders,
// as when the source lies inside the destination: writing there would
// replace the source's own files. Only existing destination folders can be
// one; links are seen through.
bool DestinationOverlapsSource(const std::vector<FolderPair>& folders,
                               const std::set<FileIdentity>& sources) {
  return std::any_of(
      folders.begin(), folders.end(), [&sources](const FolderPair& pair) {
        const std::optional<FileIdentity> id = IdentityOf(pair.destination);
        return id && sources.contains(*id);
      });
}

// What listing a source folder came to.
enum class ListingResult {
  kConvert,           // listed: the folder's files are converted next
  kNothingToConvert,  // the folder has no wiring file
  kEndRun,            // a fault, shown, or a stop: the run ends
  kLeftForItsTurn,    // too large to be listed ahead; nothing was shown
};

// Whether a folder is listed in its turn or ahead of it, on another thread.
enum class Turn { kInTurn, kAhead };

struct FolderListing {
  ListingResult result = ListingResult::kEndRun;
  bool found_files = false;  // the folder has wiring files, listed below
  WiringFileList files;
  KeptSources kept;  // the bytes read, for the conversion
};

// A listing made ahead of its turn, with what it showed; no listing when it
// is to be made again in turn.
struct AheadListing {
  std::optional<FolderListing> listing;
  std::unique_ptr<DeferredView> shown;
};

class ConversionRun {
 public:
  ConversionRun(ConversionView& view, const RunOptions& options,
                BatchState& state)
      : view_(view),
        inputs_(options),
        state_(state),
        profile_(ProfileOf(options.direction)) {}

  RunResult Run() {
    if (!CheckInputs()) return EndedEarly();
    inputs_accepted_ = true;
    view_.SetConvertedCount("0");
    if (IsSameFolder(inputs_.source_root, inputs_.destination_root)) {
      return Refuse(kSameFolderMessage,
                    "the source and destination are the same folder");
    }
    const FolderAnalysis tree =
        AnalyzeFolderTree(view_, inputs_.source_root, inputs_.destination_root);
    if (!tree.ok()) {
      view_.ShowGuide(kAnalysisFailedGuide);
      return EndedEarly(FolderFault(tree.unreadable_folder));
    }
    source_folders_ = SourceFolderIdentities(tree.folders);
    if (DestinationOverlapsSource(tree.folders, source_folders_)) {
      return Refuse(kOverlappingFoldersMessage,
                    "a destination folder is a folder of the source tree, "
                    "whose files would be replaced");
    }
    view_.ShowGuide(profile_.start_text);
    const ConversionInputs conversion = ConversionInputsOf();
    int converted_in_run = 0;
    const int folder_count = static_cast<int>(tree.folders.size());
    int folders_done = 0;
    view_.ShowRunProgress(folders_done, folder_count);
    for (std::size_t i = 0; i < tree.folders.size(); ++i) {
      if (view_.StopRequested()) return Ended(RunOutcome::kStopped);
      const FolderPair* next =
          i + 1 < tree.folders.size() ? &tree.folders[i + 1] : nullptr;
      if (!ConvertFolder(tree.folders[i], next, conversion, converted_in_run)) {
        if (view_.StopRequested()) return Ended(RunOutcome::kStopped);
        return EndedEarly();
      }
      view_.ShowRunProgress(++folders_done, folder_count);
    }
    view_.ShowGuide(profile_.finish_text);
    return Ended(RunOutcome::kCompleted);
  }

 private:
  bool CheckInputs() {
    const std::string_view model = TrimSpaces(inputs_.model_name);
    if (model.empty()) {
      return Refused(profile_.model_prompt, "the model name is blank");
    }
    if (HasControlCharacter(model)) {
      return Refused(kControlCharacterModelMessage,
                     "the model name contains a control character");
    }
    if (!IsCp932Representable(model)) {
      return Refused(kUnrepresentableModelMessage,
                     "the model name has a character that Shift-JIS cannot "
                     "hold");
    }
    const LimitFault limits = CheckLimits(inputs_.lower, inputs_.upper);
    if (limits != LimitFault::kNone) {
      Warn(view_, LimitMessage(limits));
      reason_ = LimitReason(limits);
      return false;
    }
    return true;
  }

  // Shows the refusal's warning and keeps its reason; false.
  bool Refused(const char* message, std::string_view why) {
    Warn(view_, message);
    reason_ = "refused: " + std::string(why);
    return false;
  }

  RunResult Refuse(const char* message, std::string_view why) {
    Refused(message, why);
    return EndedEarly();
  }

  // Why the run ended early: the reason kept, else the file fault reported
  // last, else the given one.
  RunResult EndedEarly(std::string fallback = {}) const {
    if (!reason_.empty()) return Ended(RunOutcome::kEndedEarly, reason_);
    if (const std::optional<FileReport>& fault = view_.last_fault()) {
      return Ended(RunOutcome::kEndedEarly,
                   PathInTree(fault->source, inputs_.source_root) + ": " +
                       fault->detail);
    }
    if (fallback.empty()) fallback = "the conversion ended early";
    return Ended(RunOutcome::kEndedEarly, std::move(fallback));
  }

  RunResult Ended(RunOutcome outcome, std::string reason = {}) const {
    return {outcome, inputs_accepted_, std::move(reason)};
  }

  // The folder as the user typed it, without the separator the run adds.
  static std::string FolderFault(const std::string& folder) {
    std::string shown = folder;
    if (shown.size() > 1 && EndsWithSeparator(shown)) shown.pop_back();
    return shown + (FolderExists(folder) ? ": the folder cannot be read"
                                         : ": no such folder");
  }

  ConversionInputs ConversionInputsOf() const {
    ConversionInputs conversion;
    conversion.model_name = inputs_.model_name;
    conversion.lower = inputs_.lower;
    conversion.upper = inputs_.upper;
    conversion.notation = inputs_.notation;
    conversion.overwrite = inputs_.overwrite;
    conversion.dry_run = inputs_.dry_run;
    return conversion;
  }

  // Lists and converts one folder of the tree, with the bytes its listing
  // read kept for the conversion only while the folder is at hand. The
  // next folder, when there is one, is listed on another thread meanwhile.
  // False ends the run.
  bool ConvertFolder(const FolderPair& folder, const FolderPair* next,
                     const ConversionInputs& conversion,
                     int& converted_in_run) {
    const bool done =
        ListAndConvertFolder(folder, next, conversion, converted_in_run);
    state_.workspace.kept.Release();
    if (std::shared_ptr<OpenedFolder>& destination =
            state_.workspace.destination_files) {
      destination->StopMakingUnnamedFiles();
      destination.reset();
    }
    return done;
  }

  bool ListAndConvertFolder(const FolderPair& folder, const FolderPair* next,
                            const ConversionInputs& conversion,
                            int& converted_in_run) {
    FolderListing listing = ListingOf(folder.source);
    if (listing.found_files) {
      state_.*profile_.source_list = std::move(listing.files);
    }
    state_.workspace.kept = std::move(listing.kept);
    if (listing.result != ListingResult::kConvert) {
      return listing.result == ListingResult::kNothingToConvert;
    }
    if (view_.ListRowCount(ListId::kSource) == 0) return true;

    const std::string& source_folder = folder.source;
    const std::string& destination_folder = folder.destination;
    view_.ShowGuide(source_folder + kConvertingFolderSuffix);
    if (!inputs_.dry_run) {
      std::shared_ptr<OpenedFolder> opened = OpenDestination(folder);
      if (!opened) return false;
      state_.workspace.destination_files = std::move(opened);
    }
    if (inputs_.list_ahead) {
      StartWorkAhead(state_.workspace.destination_files,
                     FileCount(state_.*profile_.source_list), next);
    }
    if (!profile_.convert_folder(view_, state_.*profile_.source_list,
                                 state_.*profile_.destination_list,
                                 destination_folder, conversion,
                                 state_.workspace, converted_in_run)) {
      if (view_.StopRequested()) return false;
      return Failed(view_);
    }
    view_.ShowGuide(source_folder + kFolderDoneSuffix);
    return true;
  }

  // The destination folder of a pair, made and opened for the files written
  // into it. The folder opened is checked against the source tree's
  // folders: one may have been put in its path since the run began (a link
  // to a source folder), and the files written then go to what was opened.
  // Null, with the fault shown, when it cannot be used.
  std::shared_ptr<OpenedFolder> OpenDestination(const FolderPair& folder) {
    const FolderCreation made = MakeFolderPath(folder.destination);
    if (!made.ok()) {
      return FolderFailed(folder, "cannot create the folder " +
                                      made.failed_folder + ": " +
                                      FolderCreateErrorText(made.error));
    }
    auto opened =
        std::make_shared<OpenedFolder>(PathFromUtf8(folder.destination));
    const std::optional<FileIdentity> identity = opened->Identity();
    if (!identity) {
      return FolderFailed(folder, "cannot open the destination folder " +
                                      folder.destination);
    }
    if (source_folders_.contains(*identity)) {
      Warn(view_, kOverlappingFoldersMessage);
      reason_ = "the destination folder " + folder.destination +
                " is a folder of the source tree, whose files would be "
                "replaced; nothing was written there";
      view_.ShowGuide(kRunAbortedGuide);
      return nullptr;
    }
    return opened;
  }

  // A destination folder's fault: reported against its source folder, the
  // run's reason, and the failure message.
  std::nullptr_t FolderFailed(const FolderPair& folder, std::string detail) {
    view_.ReportFile({folder.source, FileOutcome::kFault, {}, detail});
    reason_ = std::move(detail);
    view_.ShowGuide(kRunAbortedGuide);
    Failed(view_);
    return nullptr;
  }

  // The listing of a source folder: the one made ahead, shown now that its
  // turn has come, or else one made now.
  FolderListing ListingOf(const std::string& source_folder) {
    if (ahead_.started()) {
      AheadListing ahead = ahead_.Take();
      if (ahead.listing) {
        ahead.shown->ShowOn(view_);
        return std::move(*ahead.listing);
      }
    }
    return ListFolder(view_, source_folder, state_.workspace);
  }

  // The work of another thread while this one converts a folder of
  // `file_count` files: making new files in its destination, two per file
  // (the wiring file and its comment), which can cost more than writing
  // them; then listing the next folder, when there is one. The listing
  // shows nothing until its turn. A folder whose files together exceed the
  // keep budget is left to be listed in its turn, so that the run holds no
  // more than one budget's worth of bytes read ahead.
  void StartWorkAhead(std::shared_ptr<OpenedFolder> destination, int file_count,
                      const FolderPair* next) {
    constexpr int kMaxFilesMadeAhead = 128;
    const int files_to_make = std::min(2 * file_count, kMaxFilesMadeAhead);
    std::optional<std::string> next_source;
    if (next != nullptr) next_source = next->source;
    ahead_.Start([this, destination = std::move(destination), files_to_make,
                  next_source](const std::atomic<bool>& abandoned) mutable {
      if (destination) {
        destination->MakeUnnamedFiles(files_to_make);
        destination.reset();
      }
      AheadListing ahead;
      if (next_source) ahead = ListAhead(*next_source, abandoned);
      return ahead;
    });
  }

  AheadListing ListAhead(const std::string& source_folder,
                         const std::atomic<bool>& abandoned) {
    AheadListing ahead;
    ahead.shown = std::make_unique<DeferredView>(abandoned);
    try {
      ahead.listing = ListFolder(*ahead.shown, source_folder, ahead_workspace_,
                                 Turn::kAhead);
      if (ahead.listing->result == ListingResult::kLeftForItsTurn) {
        ahead.listing.reset();
      } else if (ahead.listing->result == ListingResult::kConvert) {
        ReadComments(*ahead.listing, abandoned);
      }
    } catch (const std::exception&) {
      // Listed again in turn, where the fault shows as it would have.
      ahead.listing.reset();
    }
    return ahead;
  }

  // The companion comments of a listing's files, kept for its conversion.
  static void ReadComments(FolderListing& listing,
                           const std::atomic<bool>& abandoned) {
    CompanionReader companions;
    for (int l = 1; l <= FileCount(listing.files) && !abandoned; ++l) {
      listing.kept.KeepComment(l,
                               companions.Read(FileNumber(listing.files, l)));
    }
  }

  // The bytes of the files of a listing; no value when a size is unknown.
  static std::optional<std::uint64_t> BytesOf(const WiringFileList& files) {
    std::uint64_t bytes = 0;
    for (const WiringFile& file : files) {
      std::error_code error;
      const std::uintmax_t size =
          std::filesystem::file_size(PathFromUtf8(file.WiringPath()), error);
      if (error) return std::nullopt;
      bytes += size;
    }
    return bytes;
  }

  // Lists one source folder on `view`, reading with `workspace`, whose kept
  // bytes go with the listing.
  FolderListing ListFolder(ConversionView& view,
                           const std::string& source_folder,
                           WiringWorkspace& workspace,
                           Turn turn = Turn::kInTurn) const {
    FolderListing listing;
    std::optional<WiringFileList> found =
        ListWiringFiles(source_folder, kWiringExtension);
    if (!found) {
      view.ReportFile({source_folder,
                       FileOutcome::kFault,
                       {},
                       "the folder cannot be read"});
      view.ShowGuide(kEnumerationFailedGuide);
      return listing;
    }
    if (found->empty()) {
      // A folder of the analysis that has gone since would pass as empty,
      // and the run would report success with its files left out.
      if (FolderExists(source_folder)) {
        listing.result = ListingResult::kNothingToConvert;
        return listing;
      }
      view.ReportFile({source_folder,
                       FileOutcome::kFault,
                       {},
                       "the folder no longer exists"});
      view.ShowGuide(kEnumerationFailedGuide);
      return listing;
    }

    if (turn == Turn::kAhead) {
      const std::optional<std::uint64_t> bytes = BytesOf(*found);
      if (!bytes || *bytes > inputs_.kept_source_budget) {
        listing.result = ListingResult::kLeftForItsTurn;
        return listing;
      }
    }
    listing.found_files = true;
    listing.files = std::move(*found);
    workspace.kept.StartFolder(FileCount(listing.files),
                               inputs_.kept_source_budget);
    view.ClearList(ListId::kSource);
    const bool listed =
        profile_.list_files(view, ListId::kSource, listing.files, workspace);
    listing.kept = std::move(workspace.kept);
    if (!listed) {
      if (view.StopRequested()) return listing;
      // Converting a folder whose listing failed would pass over the
      // failing file and every file after it while reporting success.
      view.ShowGuide(profile_.listing_failed_text);
      Failed(view);
      return listing;
    }
    view.ShowGuide(profile_.listed_text);
    listing.result = ListingResult::kConvert;
    return listing;
  }

  bool Failed(ConversionView& view) const {
    Warn(view, std::string(profile_.label) + kConversionFailedSuffix);
    return false;
  }

  FaultKeepingView view_;
  const RunOptions& inputs_;
  BatchState& state_;
  const DirectionProfile& profile_;
  bool inputs_accepted_ = false;
  // Why the run ended early, when the inputs were refused or a destination
  // folder could not be used.
  std::string reason_;
  std::set<FileIdentity> source_folders_;
  // The next folder's listing, made on another thread with a workspace of
  // its own. Last, so that the thread has ended before anything it uses
  // goes.
  WiringWorkspace ahead_workspace_;
  WorkAhead<AheadListing> ahead_;
};

}  // namespace

RunResult RunConversion(ConversionView& view, const RunOptions& options,
                        BatchState& state) {
  try {
    return ConversionRun(view, options, state).Run();
  } catch (const std::exception& e) {
    state.workspace.kept.Release();
    return {RunOutcome::kEndedEarly, false,
            std::string("unexpected failure: ") + e.what()};
  }
}

LimitFault CheckLimits(std::string_view lower, std::string_view upper) {
  // Both texts are checked for being numbers before either sign is.
  const std::optional<std::int32_t> low = ReadLimit(lower);
  if (!low) return LimitFault::kLower;
  const std::optional<std::int32_t> high = ReadLimit(upper);
  if (!high) return LimitFault::kUpper;
  if (*low < 0) return LimitFault::kLower;
  if (*high < 0) return LimitFault::kUpper;
  if (*low >= *high) return LimitFault::kOrder;
  return LimitFault::kNone;
}

bool ValidateLimits(MessageSink& messages, std::string_view lower,
                    std::string_view upper) {
  const LimitFault fault = CheckLimits(lower, upper);
  if (fault == LimitFault::kNone) return true;
  messages.ShowMessage(LimitMessage(fault), MessageIcon::kExclamation);
  return false;
}

}  // namespace cordshift
