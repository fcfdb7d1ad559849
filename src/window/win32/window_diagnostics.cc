#include "window/win32/window_diagnostics.h"

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/text_file.h"
#include "window/win32/echo_probe.h"

namespace cordshift {
namespace {

std::filesystem::path FileNamedBy(const wchar_t* variable) {
  const wchar_t* value = _wgetenv(variable);
  return value == nullptr ? std::filesystem::path() : value;
}

long long Ticks(FILETIME time) {  // 100 ns since 1601
  return (static_cast<long long>(time.dwHighDateTime) << 32) |
         time.dwLowDateTime;
}

long long TicksNow() {
  FILETIME now{};
  GetSystemTimePreciseAsFileTime(&now);
  return Ticks(now);
}

// Milliseconds since this process was created.
long long MillisecondsSinceProcessStart() {
  FILETIME created{}, exited{}, kernel{}, user{};
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  return (TicksNow() - Ticks(created)) / 10'000;
}

// The time as Unix milliseconds, for a caller that started the program.
long long UnixMilliseconds() {
  constexpr long long kUnixEpochTicks = 116'444'736'000'000'000;
  return (TicksNow() - kUnixEpochTicks) / 10'000;
}

long long MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now() - start)
      .count();
}

template <typename Value>
void Append(std::string& bytes, Value value) {
  for (std::size_t i = 0; i < sizeof(value); ++i) {
    bytes.push_back(static_cast<char>(
        (static_cast<std::uint64_t>(value) >> (8 * i)) & 0xFF));
  }
}

// The window as the screen shows it, bottom row first as BMP files keep it.
std::string WindowPicture(HWND window) {
  RECT frame{};
  GetWindowRect(window, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, frame.left, frame.top, SRCCOPY);
  SelectObject(memory, old);

  BITMAPINFOHEADER header{};
  header.biSize = sizeof(header);
  header.biWidth = width;
  header.biHeight = height;
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const std::size_t row_bytes = (static_cast<std::size_t>(width) * 3 + 3) & ~3u;
  std::vector<char> pixels(row_bytes * static_cast<std::size_t>(height));
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(),
            reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);

  constexpr std::uint32_t kHeadersSize = 14 + 40;
  std::string bytes = "BM";
  Append(bytes, static_cast<std::uint32_t>(kHeadersSize + pixels.size()));
  Append(bytes, std::uint32_t{0});
  Append(bytes, kHeadersSize);
  bytes.append(reinterpret_cast<const char*>(&header), sizeof(header));
  bytes.append(pixels.data(), pixels.size());
  return bytes;
}

// Paints what is waiting to be painted, the controls included.
void PaintNow(HWND window) {
  RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
}

}  // namespace

void StartupClock::NoteShown() { shown_line_ = Line("shown"); }

std::string StartupClock::Line(const char* name) const {
  return std::string(name) + " " +
         std::to_string(MillisecondsSinceProcessStart()) + " " +
         std::to_string(MillisecondsSince(main_started_)) + " " +
         std::to_string(UnixMilliseconds()) + "\n";
}

// Processor time (user and kernel) of this thread and of the process, in
// milliseconds: what the window's own thread costs a run, beside the rest.
struct ProcessorTimes {
  long long window_thread = 0;
  long long process = 0;
};

ProcessorTimes ProcessorTimesNow() {
  FILETIME created{}, exited{}, kernel{}, user{};
  ProcessorTimes times;
  GetThreadTimes(GetCurrentThread(), &created, &exited, &kernel, &user);
  times.window_thread = (Ticks(kernel) + Ticks(user)) / 10'000;
  GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
  times.process = (Ticks(kernel) + Ticks(user)) / 10'000;
  return times;
}

// Presses the run button and reports the run's time, the window's answers
// meanwhile and the processor time spent.
std::string RunReport(Win32Window& window) {
  EchoProbe probe(window);
  const ProcessorTimes before = ProcessorTimesNow();
  const auto started = std::chrono::steady_clock::now();
  SendMessageW(window.Control("btnFunc_2"), BM_CLICK, 0, 0);
  window.controller().WaitForWork();
  const auto run = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - started);
  const ProcessorTimes after = ProcessorTimesNow();
  const std::vector<EchoProbe::Answer> answers = probe.Stop();
  return "run " + std::to_string(run.count()) + "\nanswers " +
         std::to_string(answers.size()) + "\nlongest answer " +
         std::to_string(LongestAnswer(answers).count()) +
         "\nwindow thread processor " +
         std::to_string(after.window_thread - before.window_thread) +
         "\nprocess processor " +
         std::to_string(after.process - before.process) + "\n";
}

bool RunWindowDiagnostics(Win32Window& window, const StartupClock& clock) {
  const std::filesystem::path report = FileNamedBy(L"CORDSHIFT_STARTUP_REPORT");
  const std::filesystem::path picture = FileNamedBy(L"CORDSHIFT_SCREENSHOT");
  const std::filesystem::path run_report = FileNamedBy(L"CORDSHIFT_RUN_REPORT");
  if (report.empty() && picture.empty() && run_report.empty()) return false;

  window.controller().WaitForWork();
  if (!run_report.empty()) {
    WriteFileAtomically(run_report, RunReport(window));
  }
  PaintNow(window.handle());
  if (!report.empty()) {
    WriteFileAtomically(report, clock.shown_line() + clock.Line("listed"));
  }
  if (!picture.empty()) {
    SendMessageW(window.Control("btnFunc_2"), BM_CLICK, 0, 0);
    window.controller().WaitForWork();
    PaintNow(window.handle());
    WriteFileAtomically(picture, WindowPicture(window.handle()));
  }
  PostMessageW(window.handle(), WM_CLOSE, 0, 0);
  return true;
}

}  // namespace cordshift
