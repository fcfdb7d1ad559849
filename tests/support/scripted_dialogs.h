#ifndef CORDSHIFT_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_
#define CORDSHIFT_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_

// Dialogs that answer at once: messages are recorded, the folder browser
// returns the next prepared answer (a cancel when none is left).

#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "window/window_dialogs.h"

namespace cordshift::testing {

struct ShownMessage {
  std::string text;
  MessageIcon icon = MessageIcon::kExclamation;

  bool operator==(const ShownMessage&) const = default;
};

struct BrowseRequest {
  std::string prompt;
  std::string start_folder;

  bool operator==(const BrowseRequest&) const = default;
};

class ScriptedDialogs : public WindowDialogs {
 public:
  void ShowMessage(std::string_view text, MessageIcon icon) override {
    messages.push_back({std::string(text), icon});
    if (on_message) on_message();
  }

  std::string BrowseForFolder(std::string_view prompt,
                              std::string_view start_folder) override {
    browses.push_back({std::string(prompt), std::string(start_folder)});
    if (folder_answers.empty()) return {};
    std::string answer = folder_answers.front();
    folder_answers.pop_front();
    return answer;
  }

  std::vector<ShownMessage> messages;
  std::vector<BrowseRequest> browses;
  std::deque<std::string> folder_answers;
  // Runs while a message is "open": on the window's thread, with a run's
  // worker waiting for the answer.
  std::function<void()> on_message;
};

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_SCRIPTED_DIALOGS_H_
