#ifndef CORDSHIFT_WINDOW_WIN32_WIN32_WINDOW_H_
#define CORDSHIFT_WINDOW_WIN32_WIN32_WINDOW_H_

// The program's one window as a native Win32 window: the controls of the
// layout table as their Windows counterparts, each handler forwarding to
// the window's behaviour (WindowController), and the behaviour's calls
// setting the controls.

#include <windows.h>

// Declared with the types of windows.h.
#include <shobjidl.h>

#include <array>
#include <atomic>
#include <chrono>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <tuple>
#include <vector>

#include "window/dispatcher.h"
#include "window/win32/system_colours.h"
#include "window/window_controller.h"
#include "window/window_dialogs.h"
#include "window/window_layout.h"
#include "window/window_view.h"

namespace cordshift {

// Hands tasks to the window's message loop: a queue, and a posted message
// that tells the window to drain it.
class Win32Dispatcher : public Dispatcher {
 public:
  void SetWindow(HWND window) { window_ = window; }
  void Post(std::function<void()> task) override;
  void PostAfter(std::chrono::milliseconds delay,
                 std::function<void()> task) override;
  void RunUntil(const std::function<bool()>& done) override;
  // On the window's thread, when the posted message arrives.
  void RunPosted();
  // On the window's thread, when a timer's message arrives: runs the task
  // the timer was set for. False for a timer this dispatcher did not set.
  bool RunTimed(UINT_PTR timer);

  static constexpr UINT kTaskMessage = WM_APP + 1;

 private:
  // Timer ids from here on are the dispatcher's.
  static constexpr UINT_PTR kFirstTimer = 0x4000;

  std::mutex mutex_;
  std::deque<std::function<void()>> tasks_;
  HWND window_ = nullptr;
  // Used on the window's thread only.
  std::map<UINT_PTR, std::function<void()>> timed_;
  UINT_PTR next_timer_ = kFirstTimer;
};

// The real dialogs: message boxes and the system's folder dialog.
class Win32Dialogs : public WindowDialogs {
 public:
  void SetOwner(HWND owner) { owner_ = owner; }
  void ShowMessage(std::string_view text, MessageIcon icon) override;
  std::string BrowseForFolder(std::string_view prompt,
                              std::string_view start_folder) override;

 private:
  HWND owner_ = nullptr;
};

class Win32Window : public WindowView {
 public:
  Win32Window(WindowSetup setup, WindowDialogs& dialogs);
  ~Win32Window() override;
  Win32Window(const Win32Window&) = delete;
  Win32Window& operator=(const Win32Window&) = delete;

  // Start-up, then the window is shown and painted. False when the program
  // must end.
  bool Start();
  // From now on a folder dropped from Explorer chooses a side's folder.
  void AcceptDroppedFolders();

  HWND handle() const { return window_; }
  // A message posted from any thread, answered by noting its `lparam`:
  // how a benchmark or a test sees how long the window takes to answer
  // while work goes on.
  static constexpr UINT kEchoMessage = WM_APP + 2;
  // The system menu's item that shows the version; system commands are
  // multiples of 16 below 0xF000.
  static constexpr UINT kVersionCommand = 0x0110;
  LPARAM last_echo() const { return last_echo_.load(); }
  // The control of a layout name; nullptr when there is none.
  HWND Control(std::string_view name) const;
  WindowController& controller() { return controller_; }

  // WindowView.
  void ShowTitle(std::string_view title) override;
  void ShowFolder(ListId side, std::string_view folder) override;
  void ShowDirection(Direction direction, const DirectionTexts& texts) override;
  void ShowNotation(Notation notation) override;
  void ShowForm(const FormValues& form) override;
  void ShowGuide(std::string_view text) override;
  void ShowList(ListId list, std::shared_ptr<const ListRows> rows) override;
  void SetConvertedCount(std::string_view caption) override;
  void ShowRunProgress(int folders_done, int folder_count) override;
  void SetBusy(bool busy) override;
  void RequestClose(CloseWay way) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam,
                                     LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  void CreateControls();
  HWND CreateControl(const LayoutControl& entry);
  void SetTabOrder();
  // Sizes and places the window and every control, and sets their fonts,
  // for the window's DPI; at `suggested` when the system proposes a place.
  void LayOut(const RECT* suggested);
  // Gives the window the outer size whose client area is the layout's.
  void SizeFrame(const RECT* suggested);
  void OnCommand(int id);
  void OnDrop(HDROP drop);
  void DrawArrow(const DRAWITEMSTRUCT& item);
  // The lists hold no items of their own: they ask for each cell's text
  // when they draw it, from the rows shown last.
  void FillListCell(const NMLVDISPINFOW& request) const;
  void AddVersionToSystemMenu();
  void ShowVersion();
  bool IsList(HWND control) const;
  void MarkListFocus(HWND list);
  LRESULT DrawEmptyListFocus(const NMLVCUSTOMDRAW& draw) const;
  // The control with the focus, also while the window is inactive.
  HWND FocusedControl() const;
  void MoveFocus(HWND control);
  LRESULT ColourStatic(HDC dc, HWND control);
  void ConnectTaskbarButton();
  // Only the selected option of a pair is a tab stop, so that Tab reaches
  // the pair at its selection.
  void CheckOption(const char* selected, const char* other);
  FormValues Form() const;
  int Pixels(int twips) const;
  HFONT FontFor(const FontStyle& font);

  struct ComRelease {
    void operator()(IUnknown* object) const { object->Release(); }
  };

  Win32Dispatcher dispatcher_;
  HWND window_ = nullptr;
  int dpi_ = USER_DEFAULT_SCREEN_DPI;
  SIZE frame_size_{0, 0};  // the window's fixed outer size
  std::atomic<LPARAM> last_echo_{0};
  HWND focus_ = nullptr;  // the control with the focus when last active
  // The control that had the focus when work disabled it.
  HWND focus_before_busy_ = nullptr;
  std::map<std::string, HWND, std::less<>> controls_;
  std::vector<const LayoutControl*> entries_;  // by control id - kFirstId
  std::map<HWND, const LayoutControl*> entry_of_;
  // By face, size and weight, for the current DPI.
  std::map<std::tuple<Typeface, double, bool>, HFONT> fonts_;
  Win32Colours colours_;
  // The rows each list shows (source, destination).
  std::array<std::shared_ptr<const ListRows>, 2> list_rows_;
  // Text colours set by the behaviour, over those of the layout.
  std::map<HWND, Rgb> text_colours_;
  // The taskbar button's progress, once the taskbar has made the button.
  UINT taskbar_button_created_ = 0;
  std::unique_ptr<ITaskbarList3, ComRelease> taskbar_;
  struct ShownProgress {
    int percent = 0;
    std::chrono::steady_clock::time_point at;
  };
  std::optional<ShownProgress> progress_shown_;
  // Declared last: it waits for work in progress, whose calls reach the
  // controls, before anything else goes.
  WindowController controller_;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WIN32_WIN32_WINDOW_H_
