#include "batch/folder_listing.h"

#include <exception>
#include <optional>
#include <string>
#include <utility>

#include "batch/folder_tree.h"
#include "platform/folder_scan.h"
#include "wiring/summaries.h"

namespace cordshift {
namespace {

// The texts and the reader of one list in one direction.
struct ListingProfile {
  ListId list;
  const char* enumeration_failed_suffix;
  const char* empty_text;
  const char* listing_text;
  const char* listed_text;
  const char* failed_text;
  SummaryReader list_files;
  WiringFileList BatchState::*files;
};

constexpr char kSourceEmptyText[] =
    "変換元のフォルダにはファイルが見つかりませんでした";
constexpr char kDestinationEmptyText[] =
    "変換先のフォルダにはファイルが見つかりませんでした";
constexpr char kDestinationEnumerationFailed[] =
    "フォルダ一覧の所得が出来ません";

constexpr ListingProfile kSourceContinuity = {
    ListId::kSource,
    "変換元：Loomvantage側フォルダ一覧の取得が出来ません",
    kSourceEmptyText,
    "変換元の Loomvantage の一覧表示中...",
    "変換元の Loomvantage の一覧を表示しました",
    "変換元の Loomvantage の一覧表示ができませんでした",
    &ListLoomvantageFiles,
    &BatchState::SourceLoomvantageList,
};

constexpr ListingProfile kSourceHipot = {
    ListId::kSource,
    "変換元：LoomvantageHipot側フォルダ一覧の取得が出来ません",
    kSourceEmptyText,
    "変換元の LoomvantageのHipot の一覧表示中...",
    "変換元の LoomvantageHipot の一覧を表示しました",
    "変換元の LoomvantageHipot の一覧表示ができませんでした",
    &ListHipotFiles,
    &BatchState::SourceHipotList,
};

constexpr ListingProfile kDestinationHipot = {
    ListId::kDestination,
    kDestinationEnumerationFailed,
    kDestinationEmptyText,
    "変換先の LoomvantageHipot の一覧表示中...",
    "変換先の LoomvantageHipot の一覧を表示しました",
    "変換先の LoomvantageHipot の一覧表示ができませんでした",
    &ListHipotFiles,
    &BatchState::DestHipotList,
};

constexpr ListingProfile kDestinationContinuity = {
    ListId::kDestination,
    kDestinationEnumerationFailed,
    kDestinationEmptyText,
    "変換先の Loomvantage の一覧表示中...",
    "変換先の Loomvantage の一覧を表示しました",
    "変換先の Loomvantage の一覧表示ができませんでした",
    &ListLoomvantageFiles,
    &BatchState::DestLoomvantageList,
};

ListingOutcome ListFolder(ConversionView& view, const std::string& folder,
                          const ListingProfile& profile, BatchState& state) {
  std::optional<WiringFileList> found =
      ListWiringFiles(folder, kWiringExtension);
  if (!found) {
    view.ShowMessage(folder + profile.enumeration_failed_suffix,
                     MessageIcon::kExclamation);
    return ListingOutcome::kEnumerationFailed;
  }
  view.ClearList(profile.list);
  WiringFileList& files = state.*profile.files;
  files = std::move(*found);
  if (files.empty()) {
    view.ShowGuide(profile.empty_text);
    return FolderExists(folder) ? ListingOutcome::kEmpty
                                : ListingOutcome::kNoSuchFolder;
  }
  view.ShowGuide(profile.listing_text);
  const bool listed =
      profile.list_files(view, profile.list, files, state.workspace);
  view.ShowGuide(listed ? profile.listed_text : profile.failed_text);
  return listed ? ListingOutcome::kListed : ListingOutcome::kReaderFailed;
}

ListingOutcome ListSafely(ConversionView& view, const std::string& folder,
                          const ListingProfile& profile, BatchState& state) {
  try {
    return ListFolder(view, folder, profile, state);
  } catch (const std::exception&) {
    return ListingOutcome::kReaderFailed;
  }
}

}  // namespace

ListingOutcome ListSourceFolder(ConversionView& view, Direction direction,
                                const std::string& folder, BatchState& state) {
  return ListSafely(view, folder,
                    direction == Direction::kContinuityToHipot
                        ? kSourceContinuity
                        : kSourceHipot,
                    state);
}

ListingOutcome ListDestinationFolder(ConversionView& view, Direction direction,
                                     const std::string& folder,
                                     BatchState& state) {
  return ListSafely(view, folder,
                    direction == Direction::kContinuityToHipot
                        ? kDestinationHipot
                        : kDestinationContinuity,
                    state);
}

}  // namespace cordshift
