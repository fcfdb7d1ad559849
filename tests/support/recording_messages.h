#ifndef CORDSHIFT_TESTS_SUPPORT_RECORDING_MESSAGES_H_
#define CORDSHIFT_TESTS_SUPPORT_RECORDING_MESSAGES_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/message.h"

namespace cordshift::testing {

struct RecordedMessage {
  std::string text;
  MessageIcon icon;

  bool operator==(const RecordedMessage&) const = default;
};

class RecordingMessages : public MessageSink {
 public:
  void ShowMessage(std::string_view text, MessageIcon icon) override {
    messages.push_back({std::string(text), icon});
  }

  std::vector<RecordedMessage> messages;
};

}  // namespace cordshift::testing

#endif  // CORDSHIFT_TESTS_SUPPORT_RECORDING_MESSAGES_H_
