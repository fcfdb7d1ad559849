#ifndef CORDSHIFT_WINDOW_WINDOW_DIALOGS_H_
#define CORDSHIFT_WINDOW_WINDOW_DIALOGS_H_

// The two kinds of modal dialog the window opens: message boxes and the
// folder browser. The window's behaviour reaches them only through this
// interface, so that each front end brings its own and tests answer them
// without a dialog ever blocking.

#include <string>
#include <string_view>

#include "platform/message.h"

namespace cordshift {

class WindowDialogs {
 public:
  virtual ~WindowDialogs() = default;

  // A modal box titled with the program's name, with the icon and an OK
  // button; returns once it is acknowledged.
  virtual void ShowMessage(std::string_view text, MessageIcon icon) = 0;

  // A modal folder browser with the prompt as its title, opening on
  // `start_folder`. Returns the chosen folder without a final separator
  // (except a root), or empty text when cancelled.
  virtual std::string BrowseForFolder(std::string_view prompt,
                                      std::string_view start_folder) = 0;
};

}  // namespace cordshift

#endif  // CORDSHIFT_WINDOW_WINDOW_DIALOGS_H_
