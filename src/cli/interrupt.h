#ifndef CORDSHIFT_CLI_INTERRUPT_H_
#define CORDSHIFT_CLI_INTERRUPT_H_

// Interrupts of a conversion run (Ctrl+C, a terminal that closes, a service
// manager stopping the job) turned into a request to stop, so that the run
// ends after the file at hand with every file complete and no temporary
// file left, rather than dying halfway through a write.

namespace cordshift {

// While it lives, the first SIGINT, SIGTERM or SIGHUP (on Windows SIGINT and
// SIGBREAK) is recorded instead of ending the process; a second one ends it
// as usual, for a user who does not want to wait. Only one may live at a
// time.
class InterruptWatch {
 public:
  InterruptWatch();
  ~InterruptWatch();
  InterruptWatch(const InterruptWatch&) = delete;
  InterruptWatch& operator=(const InterruptWatch&) = delete;

  // The signal received, 0 while none has come.
  int Signal() const;
};

// The conventional exit status of a process ended by `signal`.
inline int ExitStatusForSignal(int signal) { return 128 + signal; }

}  // namespace cordshift

#endif  // CORDSHIFT_CLI_INTERRUPT_H_
