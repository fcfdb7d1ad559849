#include "window/window_controller.h"

#include <exception>
#include <utility>

#include "batch/conversion_run.h"
#include "batch/folder_listing.h"
#include "platform/folder_path.h"
#include "platform/sjis.h"
#include "platform/text_file.h"
#include "present/listing_presenter.h"
#include "present/run_presenter.h"

namespace cordshift {
WindowController::WindowController(WindowSetup setup, WindowView& view,
                                   WindowDialogs& dialogs,
                                   Dispatcher& dispatcher)
    : setup_(std::move(setup)),
      view_(view),
      dialogs_(dialogs),
      dispatcher_(dispatcher),
      picker_(dialogs),
      work_(dispatcher) {}

WindowController::~WindowController() { work_.Wait(); }

bool WindowController::Start() {
  try {
    store_.emplace(setup_.settings_file,
                   setup_.default_data_folder.empty()
                       ? DefaultDataFolder(setup_.executable)
                       : setup_.default_data_folder);
    if (!store_->LoadSettings(settings_)) {
      ShowMessage(kSettingsLoadFailedText, MessageIcon::kStop);
      return false;
    }
    view_.ShowFolder(ListId::kSource, settings_.source_folder);
    view_.ShowFolder(ListId::kDestination, settings_.destination_folder);
    view_.ShowForm({settings_.model_name, settings_.lower, settings_.upper,
                    settings_.overwrite});
    view_.SetConvertedCount("0");
    view_.ShowTitle(PathToUtf8(setup_.executable.stem()));
    started_ = true;
    ChooseDirection(settings_.direction);
    return true;
  } catch (const std::exception&) {
    return false;
  }
}

void WindowController::ChooseDirection(Direction direction) {
  if (Busy()) return;
  settings_.direction = direction;
  ShowGuide(GuideTextOf(DirectionTextsOf(direction)));
  ApplyDirection();
  StartListing(Listing::kBoth);
}

void WindowController::ChooseNotation(Notation notation) {
  if (Busy()) return;
  settings_.notation = notation;
}

void WindowController::ApplyDirection() {
  view_.ShowDirection(settings_.direction,
                      DirectionTextsOf(settings_.direction));
  view_.ShowNotation(settings_.notation);
}

void WindowController::PickFolder(ListId side) {
  if (Busy() || !started_) return;
  const DirectionTexts& texts = DirectionTextsOf(settings_.direction);
  const bool source = side == ListId::kSource;
  std::string& folder =
      source ? settings_.source_folder : settings_.destination_folder;
  picker_.ChooseFolder(source ? texts.source_prompt : texts.destination_prompt,
                       folder, settings_.source_folder);
  if (!picker_.FolderPicked()) return;
  view_.ShowFolder(side, folder);
  StartListing(source ? Listing::kSource : Listing::kDestination);
}

void WindowController::DropFolder(ListId side, const std::string& folder) {
  if (Busy() || !started_) return;
  const bool source = side == ListId::kSource;
  std::string& kept =
      source ? settings_.source_folder : settings_.destination_folder;
  kept = WithTrailingSeparator(folder);
  view_.ShowFolder(side, kept);
  StartListing(source ? Listing::kSource : Listing::kDestination);
}

void WindowController::Run(const FormValues& form) {
  if (Busy() || !started_) return;
  RunOptions options;
  options.direction = settings_.direction;
  options.source_root = settings_.source_folder;
  options.destination_root = settings_.destination_folder;
  options.conversion.notation = settings_.notation;
  options.conversion.model_name = form.model_name;
  options.conversion.lower = form.lower;
  options.conversion.upper = form.upper;
  options.conversion.overwrite = form.overwrite;
  // Written by the worker, read once it has been joined.
  auto accepted = std::make_shared<bool>(false);
  StartWork(
      [this, options, accepted](Display& display) {
        RunPresenter presenter(display, options.direction);
        *accepted =
            RunConversion(presenter, options, *workspace_).inputs_accepted;
      },
      [this, accepted, overwrite = form.overwrite] {
        // A run whose inputs passed their checks keeps the overwrite
        // choice, as closing with the close button does.
        if (*accepted) settings_.overwrite = overwrite;
      });
}

bool WindowController::Close(CloseWay way, const FormValues& form) {
  if (unloaded_) return true;
  if (Busy()) {
    // Closing now would cut a file in half; the work's end closes.
    if (way == CloseWay::kCloseButton || !pending_close_) {
      pending_close_ = way;
    }
    ShowGuideWithHint();
    return false;
  }
  if (way == CloseWay::kCloseButton) {
    settings_.model_name = std::string(TrimSpaces(form.model_name));
    settings_.overwrite = form.overwrite;
  }
  Unload();
  return true;
}

void WindowController::Unload() {
  if (!started_ || unloaded_) return;
  unloaded_ = true;
  if (!store_->SaveSettings(settings_, *this)) {
    ShowMessage(kSettingsSaveFailedText, MessageIcon::kExclamation);
  }
}

void WindowController::StartListing(Listing listing) {
  const Direction direction = settings_.direction;
  StartWork(
      [this, listing, direction, source = settings_.source_folder,
       destination = settings_.destination_folder](Display& display) {
        if (listing != Listing::kDestination) {
          ShowFolderListing(display, ListId::kSource,
                            SideOfList(ListId::kSource, direction), source,
                            *workspace_);
        }
        if (listing != Listing::kSource) {
          ShowFolderListing(display, ListId::kDestination,
                            SideOfList(ListId::kDestination, direction),
                            destination, *workspace_);
        }
      },
      [] {});
}

void WindowController::StartWork(BackgroundWork::Work work,
                                 BackgroundWork::Finished finished) {
  view_.SetBusy(true);
  work_.Start(*this, std::move(work), [this, finished = std::move(finished)] {
    finished();
    OnWorkFinished();
  });
}

void WindowController::OnWorkFinished() {
  view_.ShowRunProgress(0, 0);
  view_.SetBusy(false);
  if (!pending_close_) return;
  const CloseWay way = *pending_close_;
  pending_close_.reset();
  view_.RequestClose(way);
}

void WindowController::ShowGuide(std::string_view text) {
  guide_text_ = std::string(text);
  ShowGuideWithHint();
}

void WindowController::ShowGuideWithHint() {
  if (!pending_close_) {
    view_.ShowGuide(guide_text_);
    return;
  }
  view_.ShowGuide(guide_text_ + '\r' + kClosePendingHint);
}

void WindowController::ShowMessage(std::string_view text, MessageIcon icon) {
  dialogs_.ShowMessage(text, icon);
}

// The window's failure box keeps the tester family's text and names the
// file or folder and the cause on a line below it.
void WindowController::ShowFailure(std::string_view text,
                                   std::string_view cause) {
  std::string shown(text);
  if (!cause.empty()) shown.append("\n").append(cause);
  ShowMessage(shown, MessageIcon::kExclamation);
}

void WindowController::ShowAnalysisFailure(std::string_view text,
                                           std::string_view cause) {
  ShowFailure(text, cause);
}

void WindowController::ShowList(ListId list,
                                std::shared_ptr<const ListRows> rows) {
  view_.ShowList(list, std::move(rows));
}

void WindowController::SetConvertedCount(std::string_view caption) {
  view_.SetConvertedCount(caption);
}

void WindowController::ShowRunProgress(int folders_done, int folder_count) {
  view_.ShowRunProgress(folders_done, folder_count);
}

}  // namespace cordshift
