#ifndef CORDSHIFT_PLATFORM_MESSAGE_H_
#define CORDSHIFT_PLATFORM_MESSAGE_H_

// Modal messages to the user: an OK button, the program's name as title and
// one of three icons. The window shows them as message boxes; the command
// line and the tests record them.

#include <string_view>

namespace cordshift {

inline constexpr std::string_view kProgramTitle = "Cordshift";

enum class MessageIcon {
  kExclamation,  // input and data faults
  kInformation,
  kStop,  // faults that end the program
};

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows a UTF-8 text and returns once the user has acknowledged it.
  virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_PLATFORM_MESSAGE_H_
