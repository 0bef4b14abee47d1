#pragma once

#include <deque>
#include <ostream>
#include <string>
#include <vector>

#include "core/ui/prompter.h"

namespace zeltrix::testing {

/** Records every message shown and answers from a script (then with the default button). */
class RecordingPrompter : public Prompter {
 public:
  MessageAnswer Show(const Message& message) override {
    shown.push_back(message);
    if (answers.empty()) return message.defaultButton;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<Message> shown;
  std::deque<MessageAnswer> answers;
};

}  // namespace zeltrix::testing

namespace zeltrix {

inline bool operator==(const Message& a, const Message& b) {
  return a.title == b.title && a.text == b.text && a.icon == b.icon && a.buttons == b.buttons &&
         a.defaultButton == b.defaultButton;
}

inline std::ostream& operator<<(std::ostream& out, const Message& m) {
  return out << "{" << m.title << " | " << m.text << " | icon " << static_cast<int>(m.icon)
             << " | buttons " << static_cast<int>(m.buttons) << " | default "
             << static_cast<int>(m.defaultButton) << "}";
}

}  // namespace zeltrix
