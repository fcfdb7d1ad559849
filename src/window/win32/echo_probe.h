#ifndef CORDSHIFT_WINDOW_WIN32_ECHO_PROBE_H_
#define CORDSHIFT_WINDOW_WIN32_ECHO_PROBE_H_

// Measures how soon the window answers: a thread of its own posts the
// window's echo message, waits for the answer, notes how long it took and
// posts the next one a moment later. Posted messages wait behind every
// message posted before them, so a window that queues its work's updates
// faster than it handles them answers late, and so does its input.

#include <windows.h>

#include <atomic>
#include <chrono>
#include <thread>
#include <vector>

#include "window/win32/win32_window.h"

namespace cordshift {

class EchoProbe {
 public:
  struct Answer {
    std::chrono::steady_clock::time_point posted;
    std::chrono::milliseconds took{0};
  };

  explicit EchoProbe(const Win32Window& window);
  ~EchoProbe();
  EchoProbe(const EchoProbe&) = delete;
  EchoProbe& operator=(const EchoProbe&) = delete;

  // Ends the probing (the echo then waiting is still taken) and returns
  // every answer.
  std::vector<Answer> Stop();

 private:
  void Probe();

  const Win32Window& window_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> finished_{false};
  std::vector<Answer> answers_;
  std::thread thread_;
};

// The longest time an answer took.
std::chrono::milliseconds LongestAnswer(
    const std::vector<EchoProbe::Answer>& answers);

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WIN32_ECHO_PROBE_H_
