#include "cli/interrupt.h"

#include <csignal>

namespace cordshift {
namespace {

// A signal handler can only reach state of static storage duration, and
// only this type is safe to write there.
volatile std::sig_atomic_t received_signal = 0;

// On Windows the handler is reset to the default before it runs, as
// SA_RESETHAND does below, so a second signal ends the process there too.
extern "C" void RecordSignal(int signal) {
  if (received_signal == 0) received_signal = signal;
}

#ifdef _WIN32
constexpr int kWatchedSignals[] = {SIGINT, SIGBREAK};
#else
constexpr int kWatchedSignals[] = {SIGINT, SIGTERM, SIGHUP};
#endif

}  // namespace

#ifdef _WIN32
InterruptWatch::InterruptWatch() {
  received_signal = 0;
  for (const int signal : kWatchedSignals) std::signal(signal, RecordSignal);
}

InterruptWatch::~InterruptWatch() {
  for (const int signal : kWatchedSignals) std::signal(signal, SIG_DFL);
}
#else
InterruptWatch::InterruptWatch() {
  received_signal = 0;
  struct sigaction action {};
  action.sa_handler = RecordSignal;
  sigemptyset(&action.sa_mask);
  // SA_RESETHAND: the first signal restores the default, so a second one
  // ends the process. SA_RESTART: reads and writes carry on.
  action.sa_flags = SA_RESETHAND | SA_RESTART;
  for (const int signal : kWatchedSignals) sigaction(signal, &action, nullptr);
}

InterruptWatch::~InterruptWatch() {
  struct sigaction action {};
  action.sa_handler = SIG_DFL;
  sigemptyset(&action.sa_mask);
  for (const int signal : kWatchedSignals) sigaction(signal, &action, nullptr);
}
#endif

int InterruptWatch::Signal() const { return received_signal; }

}  // namespace cordshift
