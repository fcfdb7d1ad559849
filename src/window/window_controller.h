#ifndef CORDSHIFT_WINDOW_WINDOW_CONTROLLER_H_
#define CORDSHIFT_WINDOW_WINDOW_CONTROLLER_H_

// The window's behaviour, whatever the toolkit: start-up from the settings
// file, the direction and notation options, picking or dropping a folder
// and listing it, the conversion run, and closing with the settings
// written. Its operations are the user's acts; it tells the front end what
// to show through a WindowView and asks through WindowDialogs. Listings and
// runs work on a worker thread, so the window never freezes.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "present/display.h"
#include "settings/settings.h"
#include "window/background_work.h"
#include "window/dispatcher.h"
#include "window/folder_picker.h"
#include "window/window_dialogs.h"
#include "window/window_view.h"
#include "wiring/wiring_workspace.h"

namespace cordshift {

// Where the window finds the outside world.
struct WindowSetup {
  // The running program: its name is the caption, its folder holds the
  // default data folder.
  std::filesystem::path executable;
  // The settings file read at start-up and written at close.
  std::filesystem::path settings_file;
  // Where the source and destination folder start when the settings file
  // names none; empty: "Data" beside the executable.
  std::string default_data_folder = {};
};

inline constexpr char kSettingsLoadFailedText[] =
    "システム設定の読み込みが出来ませんでした";
// Shown under the guidance once the user has asked to close during work.
inline constexpr char kClosePendingHint[] =
    "（変換が終わるとウィンドウを閉じます）";

class WindowController : private Display {
 public:
  WindowController(WindowSetup setup, WindowView& view, WindowDialogs& dialogs,
                   Dispatcher& dispatcher);
  // Waits for work in progress.
  ~WindowController() override;

  // Start-up: reads the settings, fills the window and lists both folders
  // (on the worker). False when the program must end without showing the
  // window; the user has been told why.
  bool Start();

  void ChooseDirection(Direction direction);
  void ChooseNotation(Notation notation);
  // The 参照 button of a side: the folder browser, then the listing.
  void PickFolder(ListId side);
  // A folder dropped on a side: taken as if picked.
  void DropFolder(ListId side, const std::string& folder);
  // The run button, with the boxes as they are.
  void Run(const FormValues& form);
  // True when the window may close now, the settings written. During work
  // the close waits for its end (RequestClose) and this is false.
  bool Close(CloseWay way, const FormValues& form);

  // Work (a listing or a run) is in progress.
  bool Busy() const { return work_.Active(); }
  // Handles the user-interface thread's tasks until work in progress has
  // ended and its end has been shown: for a front end that must let go of
  // its controls, and for tests.
  void WaitForWork() {
    dispatcher_.RunUntil([this] { return !work_.Active(); });
  }
  bool Started() const { return started_; }
  const Settings& settings() const { return settings_; }
  // The last guidance text, before the front end lays it out.
  const std::string& guide_text() const { return guide_text_; }
  const FolderPicker& picker() const { return picker_; }

 private:
  enum class Listing { kSource, kDestination, kBoth };

  // Display: what listings and runs show, on the user-interface thread.
  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ShowFailure(std::string_view text, std::string_view cause) override;
  void ShowAnalysisFailure(std::string_view text,
                           std::string_view cause) override;
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override;
  void SetConvertedCount(std::string_view caption) override;
  void ShowRunProgress(int folders_done, int folder_count) override;

  void ShowGuideWithHint();
  void ApplyDirection();
  void StartListing(Listing listing);
  void StartWork(BackgroundWork::Work work, BackgroundWork::Finished finished);
  void OnWorkFinished();
  void Unload();

  WindowSetup setup_;
  WindowView& view_;
  WindowDialogs& dialogs_;
  Dispatcher& dispatcher_;
  FolderPicker picker_;
  std::optional<SettingsStore> store_;
  Settings settings_;
  // What the listings and runs read with, the terminal tables built once.
  std::unique_ptr<WiringWorkspace> workspace_ =
      std::make_unique<WiringWorkspace>();
  std::string guide_text_;
  std::optional<CloseWay> pending_close_;
  bool started_ = false;   // start-up completed: closing writes settings
  bool unloaded_ = false;  // the settings have been written
  // Declared last: it waits for a running worker before anything the
  // worker uses is destroyed.
  BackgroundWork work_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WINDOW_CONTROLLER_H_
