#ifndef CORDSHIFT_WINDOW_QT_MAIN_WINDOW_H_
#define CORDSHIFT_WINDOW_QT_MAIN_WINDOW_H_

// The program's one window in Qt: the widgets of the layout,
// each handler forwarding the user's act to the window's behaviour
// (WindowController), and the behaviour's calls setting the widgets.

#include <QObject>
#include <QPointer>
#include <QWidget>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>

#include "window/dispatcher.h"
#include "window/qt/main_window_layout.h"
#include "window/window_controller.h"
#include "window/window_dialogs.h"
#include "window/window_view.h"

class QCloseEvent;
class QTreeView;

namespace cordshift {

class ListRowsModel;

// Hands tasks to the Qt event loop of the window's thread.
class QtDispatcher : public Dispatcher {
 public:
  void Post(std::function<void()> task) override;
  void PostAfter(std::chrono::milliseconds delay,
                 std::function<void()> task) override;
  void RunUntil(const std::function<bool()>& done) override;

 private:
  // Queued calls run in the thread of this object, the window's thread.
  QObject context_;
};

class MainWindow : public QWidget,
                   public WindowView,
                   public MainWindowControls {
  Q_OBJECT

 public:
  MainWindow(WindowSetup setup, WindowDialogs& dialogs,
             QWidget* parent = nullptr);
  ~MainWindow() override;

  // Start-up before the window is first shown. False when the program
  // must end without showing it (the user has been told why).
  bool Load();

  // The handlers of the buttons (source folder, destination folder, run,
  // close) and of the two option pairs, by index in the layout.
  void OnButtonClicked(int index);
  void OnDirectionClicked(int index);
  void OnNotationClicked(int index);
  // A folder dropped on a side.
  void ChooseDroppedFolder(ListId side, const std::string& folder);

  const Settings& settings() const { return controller_.settings(); }
  // The last guidance text, before it is laid out on the label.
  const std::string& GuideText() const { return controller_.guide_text(); }
  // A listing or a run is in progress.
  bool RunInProgress() const { return controller_.Busy(); }
  const FolderPicker& picker() const { return controller_.picker(); }

  // WindowView.
  void ShowTitle(std::string_view title) override;
  void ShowFolder(ListId side, std::string_view folder) override;
  void ShowDirection(Direction direction, const DirectionTexts& texts) override;
  void ShowNotation(Notation notation) override;
  void ShowForm(const FormValues& form) override;
  void ShowGuide(std::string_view text) override;
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override;
  void SetConvertedCount(std::string_view caption) override;
  void SetBusy(bool busy) override;
  void RequestClose(CloseWay way) override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void MarkListFocus(QTreeView* list);
  void SetupListColumns();
  void ConnectHandlers();
  void AcceptFolderDrops();
  FormValues Form() const;
  ListRowsModel* ModelOf(ListId list) const;

  // The widget that had the focus when work disabled it.
  QPointer<QWidget> focus_before_busy_;
  QtDispatcher dispatcher_;
  // Declared after the dispatcher and last: it waits for work in progress,
  // whose calls reach the widgets, before anything else goes.
  WindowController controller_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_QT_MAIN_WINDOW_H_
