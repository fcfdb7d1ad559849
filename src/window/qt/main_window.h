#ifndef CORDSHIFT_WINDOW_QT_MAIN_WINDOW_H_
#define CORDSHIFT_WINDOW_QT_MAIN_WINDOW_H_

// The program's one window, frmMain: start-up from the settings, the
// direction and notation options, the four buttons, the two listings and
// the conversion run, and the settings written back when it closes.

#include <QWidget>
#include <array>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "batch/batch_state.h"
#include "settings/settings.h"
#include "window/folder_picker.h"
#include "window/qt/background_run.h"
#include "window/qt/main_window_layout.h"
#include "window/qt/qt_window_dialogs.h"
#include "wiring/conversion_view.h"

class QCloseEvent;
class QTreeWidget;

namespace cordshift {

// Where the window finds the outside world.
struct WindowSetup {
  // The running program: its name is the caption, its folder holds the
  // default data folder.
  std::filesystem::path executable;
  // The settings file read at start-up and written at close.
  std::filesystem::path settings_file;
};

class MainWindow : public QWidget,
                   public ConversionView,
                   public MainWindowControls {
  Q_OBJECT

 public:
  MainWindow(WindowSetup setup, WindowDialogs& dialogs,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up before the window is first shown. False when the program
  // must end without showing it (the user has been told why).
  bool Form_Load();

  // The handlers of the control arrays, by index.
  void btnFunc_Click(int index);
  void optSel_Click(int index);
  void optAB_Click(int index);

  // The direction's captions and colours, and the notation option of the
  // settings.
  void ApplyDirection();
  // The close button: keeps the model name and the overwrite choice, then
  // closes the window.
  void CloseMainWindow();

  // The six columns of both lists, once.
  void SetupListColumns();
  // Lists the source or destination folder, letting the user pick it first
  // when `pick` is true.
  void ListSourceFolder(bool pick);
  void ListDestinationFolder(bool pick);
  // A folder dropped on a side: taken as if picked with that side's button.
  void ChooseDroppedFolder(ListId side, const std::string& folder);

  // ConversionView, on the window's thread.
  void ShowGuide(std::string_view text) override;
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  void ClearList(ListId list) override;
  void SetListCell(ListId list, int row, int column,
                   std::string_view text) override;
  int ListRowCount(ListId list) const override;
  void SetConvertedCount(std::string_view caption) override;

  const Settings& settings() const { return settings_; }
  // The last text given to ShowGuide, before it is laid out on the label.
  const std::string& GuideText() const { return guide_text_; }
  bool ColumnsReady() const { return columns_ready_; }
  bool RunInProgress() const { return run_.Active(); }
  const FolderPicker& picker() const { return picker_; }

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  enum class PendingClose { kNone, kSystem, kCloseButton };

  bool InitMainWindow();
  void FillControlsFromSettings();
  void SelectDirectionOption(int index);
  void SelectNotationOption(int index);
  void ConnectHandlers();
  void AcceptFolderDrops();
  void Form_Unload();

  void StartConversionRun();
  void OnRunFinished();
  void SetRunControlsEnabled(bool enabled);
  void ShowGuideLabel();

  QTreeWidget* ListOf(ListId list) const;

  WindowSetup setup_;
  WindowDialogs& dialogs_;
  FolderPicker picker_;
  std::optional<SettingsStore> store_;
  Settings settings_;
  // The overwrite choice of the run in progress, and whether the run took
  // it (written by the worker, read once the run has ended).
  bool run_overwrite_ = false;
  bool run_inputs_accepted_ = false;
  std::unique_ptr<BatchState> state_;
  bool columns_ready_ = false;
  bool started_ = false;   // start-up completed: closing writes settings
  bool unloaded_ = false;  // the settings have been written
  std::string guide_text_;
  PendingClose pending_close_ = PendingClose::kNone;
  // Declared last: it waits for a running worker before anything the
  // worker uses is destroyed.
  BackgroundRun run_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_MAIN_WINDOW_H_
