#include "window/win32/echo_probe.h"

#include <algorithm>

namespace cordshift {
namespace {

constexpr std::chrono::milliseconds kPause{20};

}  // namespace

EchoProbe::EchoProbe(const Win32Window& window)
    : window_(window), thread_([this] { Probe(); }) {}

EchoProbe::~EchoProbe() { Stop(); }

// Called on the window's thread, which must go on answering until the
// probe has its last answer.
std::vector<EchoProbe::Answer> EchoProbe::Stop() {
  stop_ = true;
  while (!finished_) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(1);
  }
  if (thread_.joinable()) thread_.join();
  return answers_;
}

void EchoProbe::Probe() {
  LPARAM echo = window_.last_echo();
  while (!stop_) {
    ++echo;
    const auto posted = std::chrono::steady_clock::now();
    if (!PostMessageW(window_.handle(), Win32Window::kEchoMessage, 0, echo)) {
      break;
    }
    // Waits for the answer even when asked to stop, so that an answer
    // that comes only after the work shows as the long wait it was.
    while (window_.last_echo() < echo && IsWindow(window_.handle())) {
      Sleep(1);
    }
    answers_.push_back(
        {posted, std::chrono::duration_cast<std::chrono::milliseconds>(
                     std::chrono::steady_clock::now() - posted)});
    std::this_thread::sleep_for(kPause);
  }
  finished_ = true;
}

std::chrono::milliseconds LongestAnswer(
    const std::vector<EchoProbe::Answer>& answers) {
  std::chrono::milliseconds longest{0};
  for (const EchoProbe::Answer& answer : answers) {
    longest = std::max(longest, answer.took);
  }
  return longest;
}

}  // namespace cordshift
