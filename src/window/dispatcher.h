#ifndef CORDSHIFT_WINDOW_DISPATCHER_H_
#define CORDSHIFT_WINDOW_DISPATCHER_H_

// How work reaches the user-interface thread: each front end hands tasks to
// its toolkit's event loop, the tests to a queue of their own.

#include <chrono>
#include <functional>

namespace cordshift {

class Dispatcher {
 public:
  virtual ~Dispatcher() = default;

  // Runs `task` on the user-interface thread after every task posted
  // before it. Callable from any thread.
  virtual void Post(std::function<void()> task) = 0;

  // Runs `task` on the user-interface thread once `delay` has passed, while
  // the thread is free: input and painting go before it. Callable from any
  // thread.
  virtual void PostAfter(std::chrono::milliseconds delay,
                         std::function<void()> task) = 0;

  // On the user-interface thread: handles posted tasks (and whatever else
  // the toolkit has to do) until `done` returns true.
  virtual void RunUntil(const std::function<bool()>& done) = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_DISPATCHER_H_
