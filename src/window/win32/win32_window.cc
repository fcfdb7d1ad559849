#include "window/win32/win32_window.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shobjidl.h>
#include <uxtheme.h>

#include <algorithm>
#include <optional>
#include <utility>

#include "platform/codepage.h"
#include "platform/text_file.h"
#include "platform/wide_text.h"
#include "window/version_text.h"
#include "window/win32/resource_ids.h"

namespace cordshift {
namespace {

constexpr wchar_t kWindowClass[] = L"CordshiftMainWindow";
constexpr int kFirstId = 100;
// A fixed size: no maximize box, no sizing border.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;

std::string TextOf(HWND control) {
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(length));
  return WideToUtf8(text);
}

void SetText(HWND control, std::string_view utf8) {
  SetWindowTextW(control, Utf8ToWide(utf8).c_str());
}

struct ControlClass {
  const wchar_t* name;
  DWORD style;
};

DWORD AlignStyle(TextAlign align) {
  switch (align) {
    case TextAlign::kCentre:
      return SS_CENTER;
    case TextAlign::kRight:
      return SS_RIGHT;
    case TextAlign::kLeft:
      break;
  }
  return SS_LEFT;
}

ControlClass ClassOf(const LayoutControl& entry) {
  switch (entry.kind) {
    case ControlKind::kFrame:
      return {L"BUTTON", BS_GROUPBOX};
    case ControlKind::kShape:
      return {L"STATIC", 0};
    case ControlKind::kLabel:
      return {L"STATIC", AlignStyle(entry.align) | SS_NOPREFIX |
                             (entry.sunken_border ? SS_SUNKEN : 0u)};
    case ControlKind::kTextBox:
      return {L"EDIT", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL};
    case ControlKind::kButton:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP};
    case ControlKind::kCheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP};
    case ControlKind::kOption:
      return {L"BUTTON", BS_AUTORADIOBUTTON};
    case ControlKind::kReportList:
      return {WC_LISTVIEWW, LVS_REPORT | LVS_OWNERDATA | LVS_SINGLESEL |
                                LVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP};
    case ControlKind::kPicture:
      return {L"STATIC", SS_OWNERDRAW};
  }
  return {L"STATIC", 0};
}

// Wine's taskbar shows no progress, and each call there waits on the
// desktop's process: a run under Wine took twice as long with it.
bool RunsUnderWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll != nullptr &&
         GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace

void Win32Dispatcher::Post(std::function<void()> task) {
  {
    const std::lock_guard<std::mutex> lock(mutex_);
    tasks_.push_back(std::move(task));
  }
  PostMessageW(window_, kTaskMessage, 0, 0);
}

void Win32Dispatcher::RunPosted() {
  for (;;) {
    std::function<void()> task;
    {
      const std::lock_guard<std::mutex> lock(mutex_);
      if (tasks_.empty()) return;
      task = std::move(tasks_.front());
      tasks_.pop_front();
    }
    task();
  }
}

// A timer's message comes only when no other message waits: input and
// painting go first, which posted messages would not let them.
void Win32Dispatcher::PostAfter(std::chrono::milliseconds delay,
                                std::function<void()> task) {
  Post([this, delay, task = std::move(task)]() mutable {
    const UINT_PTR timer = next_timer_++;
    if (next_timer_ == 0) next_timer_ = kFirstTimer;
    timed_.emplace(timer, std::move(task));
    SetTimer(window_, timer, static_cast<UINT>(delay.count()), nullptr);
  });
}

bool Win32Dispatcher::RunTimed(UINT_PTR timer) {
  const auto found = timed_.find(timer);
  if (found == timed_.end()) return false;
  KillTimer(window_, timer);
  const std::function<void()> task = std::move(found->second);
  timed_.erase(found);
  task();
  return true;
}

void Win32Dispatcher::RunUntil(const std::function<bool()>& done) {
  MSG message;
  while (!done() && GetMessageW(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  RunPosted();
}

void Win32Dialogs::ShowMessage(std::string_view text, MessageIcon icon) {
  UINT type = MB_OK;
  switch (icon) {
    case MessageIcon::kExclamation:
      type |= MB_ICONEXCLAMATION;
      break;
    case MessageIcon::kInformation:
      type |= MB_ICONINFORMATION;
      break;
    case MessageIcon::kStop:
      type |= MB_ICONSTOP;
      break;
  }
  MessageBoxW(owner_, Utf8ToWide(text).c_str(),
              Utf8ToWide(kProgramTitle).c_str(), type);
}

std::string Win32Dialogs::BrowseForFolder(std::string_view prompt,
                                          std::string_view start_folder) {
  IFileOpenDialog* dialog = nullptr;
  if (FAILED(CoCreateInstance(CLSID_FileOpenDialog, nullptr,
                              CLSCTX_INPROC_SERVER, IID_PPV_ARGS(&dialog)))) {
    return {};
  }
  std::string chosen;
  DWORD options = 0;
  dialog->GetOptions(&options);
  dialog->SetOptions(options | FOS_PICKFOLDERS | FOS_FORCEFILESYSTEM);
  dialog->SetTitle(Utf8ToWide(prompt).c_str());
  IShellItem* start = nullptr;
  if (SUCCEEDED(SHCreateItemFromParsingName(Utf8ToWide(start_folder).c_str(),
                                            nullptr, IID_PPV_ARGS(&start)))) {
    dialog->SetFolder(start);
    start->Release();
  }
  IShellItem* result = nullptr;
  if (SUCCEEDED(dialog->Show(owner_)) &&
      SUCCEEDED(dialog->GetResult(&result))) {
    PWSTR path = nullptr;
    if (SUCCEEDED(result->GetDisplayName(SIGDN_FILESYSPATH, &path))) {
      chosen = WideToUtf8(path);
      CoTaskMemFree(path);
    }
    result->Release();
  }
  dialog->Release();
  return chosen;
}

Win32Window::Win32Window(WindowSetup setup, WindowDialogs& dialogs)
    : controller_(std::move(setup), *this, dialogs, dispatcher_) {
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof(window_class);
  window_class.lpfnWndProc = &Win32Window::WindowProc;
  window_class.hInstance = GetModuleHandleW(nullptr);
  window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
  // The program's icon where it has one (a test program has none).
  window_class.hIcon = static_cast<HICON>(
      LoadImageW(window_class.hInstance, MAKEINTRESOURCEW(kAppIconId),
                 IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  window_class.hIconSm = static_cast<HICON>(LoadImageW(
      window_class.hInstance, MAKEINTRESOURCEW(kAppIconId), IMAGE_ICON,
      GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), LR_SHARED));
  window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  window_class.lpszClassName = kWindowClass;
  RegisterClassExW(&window_class);
  // Sized once the window knows the DPI of its monitor.
  window_ = CreateWindowExW(0, kWindowClass, L"Cordshift", kWindowStyle,
                            CW_USEDEFAULT, CW_USEDEFAULT, 0, 0, nullptr,
                            nullptr, window_class.hInstance, this);
  dispatcher_.SetWindow(window_);
  dpi_ = static_cast<int>(GetDpiForWindow(window_));
  CreateControls();
  LayOut(nullptr);
  AddVersionToSystemMenu();
  taskbar_button_created_ = RegisterWindowMessageW(L"TaskbarButtonCreated");
}

Win32Window::~Win32Window() {
  controller_.WaitForWork();
  if (IsWindow(window_)) DestroyWindow(window_);
  for (const auto& [key, font] : fonts_) DeleteObject(font);
}

bool Win32Window::Start() {
  if (!controller_.Start()) return false;
  ShowWindow(window_, SW_SHOW);
  RedrawWindow(window_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  return true;
}

void Win32Window::AcceptDroppedFolders() { DragAcceptFiles(window_, TRUE); }

int Win32Window::Pixels(int twips) const {
  return MulDiv(TwipsToPixels(twips), dpi_, 96);
}

HFONT Win32Window::FontFor(const FontStyle& font) {
  HFONT& handle = fonts_[{font.face, font.points, font.bold}];
  if (handle != nullptr) return handle;
  const std::wstring face(
      Utf8ToWide(font.face == Typeface::kGothic ? kGothicFace : kUiGothicFace));
  const int height = -MulDiv(static_cast<int>(font.points * 100), dpi_, 7200);
  handle = CreateFontW(height, 0, 0, 0, font.bold ? FW_BOLD : FW_NORMAL, FALSE,
                       FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH,
                       face.c_str());
  return handle;
}

HWND Win32Window::CreateControl(const LayoutControl& entry) {
  const ControlClass control_class = ClassOf(entry);
  const int id = kFirstId + static_cast<int>(entries_.size());
  HWND control = CreateWindowExW(
      0, control_class.name, Utf8ToWide(entry.text).c_str(),
      WS_CHILD | WS_VISIBLE | control_class.style, 0, 0, 0, 0, window_,
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
      GetModuleHandleW(nullptr), nullptr);
  if (entry.kind == ControlKind::kReportList) {
    ListView_SetExtendedListViewStyle(control, LVS_EX_FULLROWSELECT);
    colours_.ColourList(control, entry);
    int index = 0;
    for (const ListColumn& column : ListColumns()) {
      std::wstring header = Utf8ToWide(column.header);
      LVCOLUMNW column_entry{};
      column_entry.mask = LVCF_TEXT;
      column_entry.pszText = header.data();
      ListView_InsertColumn(control, index++, &column_entry);
    }
  }
  // A themed button draws its text in the theme's colour; the options'
  // coloured texts need the classic look. Where the theming DLL is not
  // loaded (with visual styles it is, from the first window on), nothing is
  // themed, and it is not loaded just to say so.
  if ((entry.kind == ControlKind::kOption ||
       entry.kind == ControlKind::kCheckBox) &&
      GetModuleHandleW(L"uxtheme.dll") != nullptr) {
    SetWindowTheme(control, L"", L"");
  }
  entries_.push_back(&entry);
  entry_of_[control] = &entry;
  return control;
}

void Win32Window::CreateControls() {
  for (const LayoutControl& entry : MainWindowLayout()) {
    controls_.emplace(std::string(entry.name), CreateControl(entry));
  }
  SetTabOrder();
}

// The dialog manager visits controls in their z-order; a group (WS_GROUP)
// runs up to the next control that starts one, so each control of the tab
// order starts a group but the second option of a pair.
void Win32Window::SetTabOrder() {
  HWND previous = nullptr;
  std::string_view previous_name;
  for (const std::string_view name : MainWindowTabOrder()) {
    HWND control = Control(name);
    if (control == nullptr) continue;
    if (previous != nullptr) {
      SetWindowPos(control, previous, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    const bool pairs_with_previous =
        name.size() == previous_name.size() &&
        name.substr(0, name.size() - 1) ==
            previous_name.substr(0, previous_name.size() - 1) &&
        entry_of_[control]->kind == ControlKind::kOption;
    LONG_PTR style = GetWindowLongPtrW(control, GWL_STYLE);
    style = pairs_with_previous ? style & ~WS_GROUP : style | WS_GROUP;
    SetWindowLongPtrW(control, GWL_STYLE, style);
    previous = control;
    previous_name = name;
  }
}

void Win32Window::SizeFrame(const RECT* suggested) {
  RECT frame{0, 0, Pixels(kWindowWidthTwips), Pixels(kWindowHeightTwips)};
  AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, 0,
                           static_cast<UINT>(dpi_));
  frame_size_ = {frame.right - frame.left, frame.bottom - frame.top};
  if (suggested != nullptr) {
    SetWindowPos(window_, nullptr, suggested->left, suggested->top,
                 frame_size_.cx, frame_size_.cy, SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    SetWindowPos(window_, nullptr, 0, 0, frame_size_.cx, frame_size_.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  // A system whose frame does not follow the DPI yet (Wine) leaves the
  // client area off by the difference: the frame takes it up.
  RECT client{};
  GetClientRect(window_, &client);
  const LONG wider = Pixels(kWindowWidthTwips) - client.right;
  const LONG taller = Pixels(kWindowHeightTwips) - client.bottom;
  if (wider == 0 && taller == 0) return;
  frame_size_.cx += wider;
  frame_size_.cy += taller;
  SetWindowPos(window_, nullptr, 0, 0, frame_size_.cx, frame_size_.cy,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Window::LayOut(const RECT* suggested) {
  std::map<std::tuple<Typeface, double, bool>, HFONT> old_fonts;
  old_fonts.swap(fonts_);
  SizeFrame(suggested);
  for (const LayoutControl* entry : entries_) {
    HWND control = Control(entry->name);
    const TwipsPoint origin = OriginInWindow(*entry);
    SetWindowPos(control, nullptr, Pixels(origin.left), Pixels(origin.top),
                 Pixels(entry->width), Pixels(entry->height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageW(
        control, WM_SETFONT,
        reinterpret_cast<WPARAM>(FontFor(entry->font.value_or(kWindowFont))),
        TRUE);
    if (entry->kind == ControlKind::kReportList) {
      int index = 0;
      for (const ListColumn& column : ListColumns()) {
        ListView_SetColumnWidth(control, index++, Pixels(column.width_twips));
      }
    }
  }
  for (const auto& [key, font] : old_fonts) DeleteObject(font);
}

HWND Win32Window::Control(std::string_view name) const {
  const auto found = controls_.find(name);
  return found == controls_.end() ? nullptr : found->second;
}

LRESULT CALLBACK Win32Window::WindowProc(HWND window, UINT message,
                                         WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA,
                      reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self =
      reinterpret_cast<Win32Window*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr || self->window_ == nullptr) {
    return DefWindowProcW(window, message, wparam, lparam);
  }
  return self->Handle(message, wparam, lparam);
}

LRESULT Win32Window::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == taskbar_button_created_ && message != 0) {
    ConnectTaskbarButton();
    return 0;
  }
  switch (message) {
    case Win32Dispatcher::kTaskMessage:
      dispatcher_.RunPosted();
      return 0;
    case WM_TIMER:
      if (dispatcher_.RunTimed(wparam)) return 0;
      break;
    case kEchoMessage:
      last_echo_.store(lparam);
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == kVersionCommand) {
        ShowVersion();
        return 0;
      }
      break;
    case WM_COMMAND:
      if (HIWORD(wparam) == BN_CLICKED) OnCommand(LOWORD(wparam));
      return 0;
    case WM_DROPFILES:
      OnDrop(reinterpret_cast<HDROP>(wparam));
      return 0;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lparam);
      if (header.code == LVN_GETDISPINFOW) {
        FillListCell(*reinterpret_cast<const NMLVDISPINFOW*>(lparam));
        return 0;
      }
      if (header.code == NM_SETFOCUS || header.code == NM_KILLFOCUS) {
        MarkListFocus(header.hwndFrom);
        return 0;
      }
      if (header.code == NM_CUSTOMDRAW && IsList(header.hwndFrom)) {
        return DrawEmptyListFocus(
            *reinterpret_cast<const NMLVCUSTOMDRAW*>(lparam));
      }
      break;
    }
    case WM_DRAWITEM: {
      // The arrow picture is the one control drawn here.
      const auto& item = *reinterpret_cast<const DRAWITEMSTRUCT*>(lparam);
      if (item.CtlType != ODT_STATIC) break;
      DrawArrow(item);
      return TRUE;
    }
    case WM_ACTIVATE:
      // Focus leaves with the window and comes back to where it was, at
      // first to the first control that Tab visits.
      if (LOWORD(wparam) == WA_INACTIVE) {
        focus_ = GetFocus();
      } else {
        SetFocus(IsWindow(focus_) ? focus_
                                  : Control(MainWindowTabOrder().front()));
      }
      return 0;
    case WM_GETMINMAXINFO: {
      // The window keeps its size, even where it exceeds the screen.
      if (frame_size_.cx == 0) break;
      auto& limits = *reinterpret_cast<MINMAXINFO*>(lparam);
      limits.ptMinTrackSize =
          limits.ptMaxTrackSize = {frame_size_.cx, frame_size_.cy};
      return 0;
    }
    case WM_DPICHANGED:
      dpi_ = HIWORD(wparam);
      LayOut(reinterpret_cast<const RECT*>(lparam));
      InvalidateRect(window_, nullptr, TRUE);
      return 0;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLOREDIT:
      return ColourStatic(reinterpret_cast<HDC>(wparam),
                          reinterpret_cast<HWND>(lparam));
    case WM_ERASEBKGND: {
      RECT client{};
      GetClientRect(window_, &client);
      FillRect(reinterpret_cast<HDC>(wparam), &client, colours_.FaceBrush());
      return 1;
    }
    case WM_SYSCOLORCHANGE:
    case WM_SETTINGCHANGE:
      // High contrast or the colours may have changed; the lists keep
      // theirs until told.
      colours_.Reload();
      for (const char* name : {"lvSrc", "lvDst"}) {
        SendMessageW(Control(name), message, wparam, lparam);
        colours_.ColourList(Control(name), *FindControl(name));
      }
      RedrawWindow(window_, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
      return 0;
    case WM_CLOSE:
      if (controller_.Close(CloseWay::kTitleBar, Form())) {
        DestroyWindow(window_);
      }
      return 0;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void Win32Window::DrawArrow(const DRAWITEMSTRUCT& item) {
  FillRect(item.hDC, &item.rcItem, colours_.FaceBrush());
  const HBRUSH ink = colours_.FaceTextBrush();
  const auto scaled = [this, &item](PixelPoint point) {
    return POINT{item.rcItem.left + MulDiv(point.x, dpi_, 96),
                 item.rcItem.top + MulDiv(point.y, dpi_, 96)};
  };
  const HGDIOBJ old_brush = SelectObject(item.hDC, ink);
  const HGDIOBJ old_pen = SelectObject(item.hDC, GetStockObject(NULL_PEN));
  const ArrowShape& arrow = kArrowPicture;
  const POINT shaft_top_left = scaled(arrow.shaft_top_left);
  const POINT shaft_bottom_right = scaled(arrow.shaft_bottom_right);
  const RECT shaft{shaft_top_left.x, shaft_top_left.y, shaft_bottom_right.x,
                   shaft_bottom_right.y};
  FillRect(item.hDC, &shaft, ink);
  const POINT head[] = {scaled(arrow.head[0]), scaled(arrow.head[1]),
                        scaled(arrow.head[2])};
  Polygon(item.hDC, head, 3);
  SelectObject(item.hDC, old_pen);
  SelectObject(item.hDC, old_brush);
}

void Win32Window::ConnectTaskbarButton() {
  if (RunsUnderWine()) return;
  ITaskbarList3* taskbar = nullptr;
  if (FAILED(CoCreateInstance(CLSID_TaskbarList, nullptr, CLSCTX_INPROC_SERVER,
                              IID_PPV_ARGS(&taskbar)))) {
    return;
  }
  taskbar_.reset(taskbar);
  if (FAILED(taskbar_->HrInit())) taskbar_.reset();
}

LRESULT Win32Window::ColourStatic(HDC dc, HWND control) {
  const auto found = entry_of_.find(control);
  if (found == entry_of_.end()) {
    return DefWindowProcW(window_, WM_CTLCOLORSTATIC,
                          reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(control));
  }
  const auto colour = text_colours_.find(control);
  return reinterpret_cast<LRESULT>(colours_.PaintControl(
      dc, control, *found->second,
      colour == text_colours_.end() ? std::nullopt
                                    : std::optional<Rgb>(colour->second)));
}

void Win32Window::OnCommand(int id) {
  const int index = id - kFirstId;
  if (index < 0 || index >= static_cast<int>(entries_.size())) return;
  const std::string_view name = entries_[static_cast<std::size_t>(index)]->name;
  if (name == "btnFunc_0") {
    controller_.PickFolder(ListId::kSource);
  } else if (name == "btnFunc_1") {
    controller_.PickFolder(ListId::kDestination);
  } else if (name == "btnFunc_2") {
    controller_.Run(Form());
  } else if (name == "btnFunc_3") {
    RequestClose(CloseWay::kCloseButton);
  } else if (name == "optSel_0") {
    controller_.ChooseDirection(Direction::kContinuityToHipot);
  } else if (name == "optSel_1") {
    controller_.ChooseDirection(Direction::kHipotToContinuity);
  } else if (name == "optAB_0") {
    controller_.ChooseNotation(Notation::kAb);
  } else if (name == "optAB_1") {
    controller_.ChooseNotation(Notation::kSequential);
  }
}

// A folder dropped on the left half is the source, on the right half the
// destination.
void Win32Window::OnDrop(HDROP drop) {
  POINT at{};
  DragQueryPoint(drop, &at);
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  if (count == 1) {
    const UINT length = DragQueryFileW(drop, 0, nullptr, 0);
    std::wstring path(length + 1, L'\0');
    DragQueryFileW(drop, 0, path.data(), length + 1);
    path.resize(length);
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES &&
        (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0) {
      const bool source = at.x < Pixels(kWindowWidthTwips) / 2;
      controller_.DropFolder(source ? ListId::kSource : ListId::kDestination,
                             WideToUtf8(path));
    }
  }
  DragFinish(drop);
}

FormValues Win32Window::Form() const {
  return {
      TextOf(Control("txtKisyu")), TextOf(Control("txtDL")),
      TextOf(Control("txtDU")),
      SendMessageW(Control("chkOverWrite"), BM_GETCHECK, 0, 0) == BST_CHECKED};
}

void Win32Window::ShowTitle(std::string_view title) { SetText(window_, title); }

void Win32Window::ShowFolder(ListId side, std::string_view folder) {
  SetText(Control(side == ListId::kSource ? "lblSrc" : "lblDst"), folder);
}

void Win32Window::ShowDirection(Direction direction,
                                const DirectionTexts& texts) {
  if (direction == Direction::kContinuityToHipot) {
    CheckOption("optSel_0", "optSel_1");
  } else {
    CheckOption("optSel_1", "optSel_0");
  }
  text_colours_[Control("optSel_0")] = texts.continuity_option_colour;
  text_colours_[Control("optSel_1")] = texts.hipot_option_colour;
  for (const char* name : {"optSel_0", "optSel_1"}) {
    InvalidateRect(Control(name), nullptr, TRUE);
  }
  for (const char* name : {"optAB_0", "optAB_1"}) {
    ShowWindow(Control(name), texts.shows_notation ? SW_SHOW : SW_HIDE);
  }
  SetText(Control("btnFunc_2"), texts.run_caption);
  SetText(Control("lblSrcTitle"), texts.source_title);
  SetText(Control("lblDstTitle"), texts.destination_title);
}

void Win32Window::ShowNotation(Notation notation) {
  if (notation == Notation::kAb) {
    CheckOption("optAB_0", "optAB_1");
  } else {
    CheckOption("optAB_1", "optAB_0");
  }
}

void Win32Window::CheckOption(const char* selected, const char* other) {
  HWND on = Control(selected);
  HWND off = Control(other);
  SendMessageW(on, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageW(off, BM_SETCHECK, BST_UNCHECKED, 0);
  SetWindowLongPtrW(on, GWL_STYLE,
                    GetWindowLongPtrW(on, GWL_STYLE) | WS_TABSTOP);
  SetWindowLongPtrW(off, GWL_STYLE,
                    GetWindowLongPtrW(off, GWL_STYLE) & ~WS_TABSTOP);
}

void Win32Window::ShowForm(const FormValues& form) {
  SetText(Control("txtKisyu"), form.model_name);
  SetText(Control("txtDL"), form.lower);
  SetText(Control("txtDU"), form.upper);
  SendMessageW(Control("chkOverWrite"), BM_SETCHECK,
               form.overwrite ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Win32Window::ShowGuide(std::string_view text) {
  // The guidance text separates its lines with a lone carriage return; a
  // static control breaks lines at CR LF.
  std::string shown;
  for (const char c : text) {
    shown.push_back(c);
    if (c == '\r') shown.push_back('\n');
  }
  HWND guide = Control("lblGuide");
  SetText(guide, shown);
  UpdateWindow(guide);
}

void Win32Window::ShowList(ListId list, std::shared_ptr<const ListRows> rows) {
  const bool source = list == ListId::kSource;
  HWND view = Control(source ? "lvSrc" : "lvDst");
  std::shared_ptr<const ListRows>& shown = list_rows_[source ? 0 : 1];
  const int count = rows->size();
  const int old_count = shown ? shown->size() : 0;
  const int first_new = shown ? FirstDifferentRow(*shown, *rows) : 0;
  shown = std::move(rows);
  // During a run the destination list grows by a few rows at a time: only
  // those are drawn again, which under Wine is most of what a run's
  // updates cost the window.
  ListView_SetItemCountEx(view, count,
                          LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
  if (count < old_count || first_new == 0) {
    InvalidateRect(view, nullptr, TRUE);
  } else if (first_new < count) {
    ListView_RedrawItems(view, first_new, count - 1);
  }
  if (GetFocus() == view) MarkListFocus(view);
}

// The version is one click away for a technician who reports a problem:
// the system menu (the title bar's icon, or Alt+Space) has it.
void Win32Window::AddVersionToSystemMenu() {
  HMENU menu = GetSystemMenu(window_, FALSE);
  if (menu == nullptr) return;
  AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
  AppendMenuW(menu, MF_STRING, kVersionCommand,
              Utf8ToWide(kVersionMenuText).c_str());
}

void Win32Window::ShowVersion() {
  MessageBoxW(window_, Utf8ToWide(VersionText()).c_str(),
              Utf8ToWide(kVersionMenuText).c_str(), MB_OK | MB_ICONINFORMATION);
}

bool Win32Window::IsList(HWND control) const {
  return control != nullptr &&
         (control == Control("lvSrc") || control == Control("lvDst"));
}

// A list view marks the focus on its focused item only, and a list shown
// afresh has none: with the focus, its first row gets the mark (without
// being selected), so that a keyboard user sees where Tab went.
void Win32Window::MarkListFocus(HWND list) {
  if (!IsList(list)) return;
  if (ListView_GetItemCount(list) == 0) {
    // The rectangle drawn around an empty list's inside comes or goes.
    InvalidateRect(list, nullptr, TRUE);
  } else if (GetFocus() == list &&
             ListView_GetNextItem(list, -1, LVNI_FOCUSED) < 0) {
    ListView_SetItemState(list, 0, LVIS_FOCUSED, LVIS_FOCUSED);
  }
}

// An empty list has no row to mark: the focus rectangle goes around its
// inside instead.
LRESULT Win32Window::DrawEmptyListFocus(const NMLVCUSTOMDRAW& draw) const {
  const NMCUSTOMDRAW& paint = draw.nmcd;
  if (paint.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYPOSTPAINT;
  if (paint.dwDrawStage == CDDS_POSTPAINT && GetFocus() == paint.hdr.hwndFrom &&
      ListView_GetItemCount(paint.hdr.hwndFrom) == 0) {
    RECT inside{};
    GetClientRect(paint.hdr.hwndFrom, &inside);
    HWND header = ListView_GetHeader(paint.hdr.hwndFrom);
    RECT header_rect{};
    if (header != nullptr && GetWindowRect(header, &header_rect)) {
      inside.top += header_rect.bottom - header_rect.top;
    }
    InflateRect(&inside, -2, -2);
    DrawFocusRect(paint.hdc, &inside);
  }
  return CDRF_DODEFAULT;
}

void Win32Window::FillListCell(const NMLVDISPINFOW& request) const {
  const LVITEMW& item = request.item;
  if ((item.mask & LVIF_TEXT) == 0 || item.cchTextMax <= 0) return;
  const bool source = request.hdr.hwndFrom == Control("lvSrc");
  if (!source && request.hdr.hwndFrom != Control("lvDst")) return;
  const std::shared_ptr<const ListRows>& rows = list_rows_[source ? 0 : 1];
  item.pszText[0] = L'\0';
  if (!rows || item.iItem < 0 || item.iItem >= rows->size() ||
      item.iSubItem < 0 || item.iSubItem >= ListRows::kColumnCount) {
    return;
  }
  const std::wstring text = Utf8ToWide(rows->Cell(item.iItem, item.iSubItem));
  const std::size_t room = static_cast<std::size_t>(item.cchTextMax) - 1;
  const std::size_t length = std::min(text.size(), room);
  text.copy(item.pszText, length);
  item.pszText[length] = L'\0';
}

void Win32Window::SetConvertedCount(std::string_view caption) {
  SetText(Control("lblKensu"), caption);
}

// The taskbar's bar moves in steps a user can see: each call reaches the
// shell's process, so it is made only when the shown percentage changes,
// at most four times a second, and always at the end.
void Win32Window::ShowRunProgress(int folders_done, int folder_count) {
  if (!taskbar_) return;
  if (folder_count == 0) {
    taskbar_->SetProgressState(window_, TBPF_NOPROGRESS);
    progress_shown_.reset();
    return;
  }
  constexpr auto kStep = std::chrono::milliseconds(250);
  const auto now = std::chrono::steady_clock::now();
  const int percent = static_cast<int>(100LL * folders_done / folder_count);
  const bool last = folders_done == folder_count;
  if (progress_shown_ && !last &&
      (percent == progress_shown_->percent ||
       now - progress_shown_->at < kStep)) {
    return;
  }
  progress_shown_ = ShownProgress{percent, now};
  taskbar_->SetProgressValue(window_, static_cast<ULONGLONG>(folders_done),
                             static_cast<ULONGLONG>(folder_count));
}

HWND Win32Window::FocusedControl() const {
  return GetActiveWindow() == window_ ? GetFocus() : focus_;
}

void Win32Window::MoveFocus(HWND control) {
  if (GetActiveWindow() == window_) {
    SetFocus(control);
  } else {
    focus_ = control;  // where WM_ACTIVATE puts it
  }
}

// A control disabled with the focus leaves it nowhere, and Tab then
// reaches nothing: the focus waits on the source list, which stays
// enabled, and goes back when the work is done unless the user has moved
// it meanwhile.
void Win32Window::SetBusy(bool busy) {
  constexpr const char* kWaiting[] = {"btnFunc_0", "btnFunc_1", "btnFunc_2",
                                      "optSel_0",  "optSel_1",  "optAB_0",
                                      "optAB_1"};
  HWND parking = Control(MainWindowTabOrder().front());
  if (busy) {
    HWND focused = FocusedControl();
    for (const char* name : kWaiting) {
      if (focused != nullptr && focused == Control(name)) {
        focus_before_busy_ = focused;
        MoveFocus(parking);
      }
    }
  }
  for (const char* name : kWaiting) {
    EnableWindow(Control(name), busy ? FALSE : TRUE);
  }
  if (!busy && focus_before_busy_ != nullptr) {
    HWND focused = FocusedControl();
    if (focused == parking || focused == nullptr || focused == window_) {
      MoveFocus(focus_before_busy_);
    }
    focus_before_busy_ = nullptr;
  }
}

void Win32Window::RequestClose(CloseWay way) {
  if (controller_.Close(way, Form())) DestroyWindow(window_);
}

}  // namespace cordshift
