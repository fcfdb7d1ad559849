#ifndef CORDSHIFT_WIRING_STOP_CHECK_H_
#define CORDSHIFT_WIRING_STOP_CHECK_H_

namespace cordshift {

// Asked between files by long work: true once the user wants it to stop
// (an interrupt of the command line, a closing window).
class StopCheck {
 public:
  virtual ~StopCheck() = default;
  virtual bool StopRequested() const { return false; }
};

}  // namespace cordshift

#endif  // CORDSHIFT_WIRING_STOP_CHECK_H_
