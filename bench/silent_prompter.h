#pragma once

#include <stdexcept>

#include "core/ui/prompter.h"

namespace zeltrix::bench {

/**
 * Shows nothing and gives every question the same answer. An error ends the
 * benchmark with its text: a run that failed has measured nothing.
 */
class SilentPrompter : public Prompter {
 public:
  explicit SilentPrompter(MessageAnswer answer = MessageAnswer::No) : m_answer(answer) {}

  MessageAnswer Show(const Message& message) override {
    if (message.icon == MessageIcon::Error) throw std::runtime_error(message.text);
    return m_answer;
  }

 private:
  MessageAnswer m_answer;
};

}  // namespace zeltrix::bench
