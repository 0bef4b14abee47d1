#pragma once

#include <string>

namespace zeltrix {

/** The icon a message box shows. */
enum class MessageIcon { Information, Warning, Error, Question };

/** The set of buttons a message box offers. */
enum class MessageButtons { Ok, YesNo, YesNoCancel };

/** The button the user pressed (Ok for a box with only OK). */
enum class MessageAnswer { Ok, Yes, No, Cancel };

/** One modal message or question; title and text are UTF-8. */
struct Message {
  std::string title;
  std::string text;
  MessageIcon icon = MessageIcon::Information;
  MessageButtons buttons = MessageButtons::Ok;
  MessageAnswer defaultButton = MessageAnswer::Ok;
};

/**
 * Everything the core wants to tell or ask the user goes through this
 * interface; the windows supply message boxes, the command-line tool prints,
 * tests script the answers and record what was shown.
 */
class Prompter {
 public:
  virtual ~Prompter() = default;
  /** Shows the message and returns the button pressed. */
  virtual MessageAnswer Show(const Message& message) = 0;
};

/** Helpers for the shapes the program uses. */
inline MessageAnswer ShowError(Prompter& p, std::string title, std::string text) {
  return p.Show({std::move(title), std::move(text), MessageIcon::Error, MessageButtons::Ok,
                 MessageAnswer::Ok});
}
inline MessageAnswer ShowWarning(Prompter& p, std::string title, std::string text) {
  return p.Show({std::move(title), std::move(text), MessageIcon::Warning, MessageButtons::Ok,
                 MessageAnswer::Ok});
}
inline MessageAnswer ShowInformation(Prompter& p, std::string title, std::string text) {
  return p.Show({std::move(title), std::move(text), MessageIcon::Information, MessageButtons::Ok,
                 MessageAnswer::Ok});
}
/** A Yes/No confirmation with the question icon and No as the default. */
inline bool Confirm(Prompter& p, std::string title, std::string text) {
  return p.Show({std::move(title), std::move(text), MessageIcon::Question, MessageButtons::YesNo,
                 MessageAnswer::No}) == MessageAnswer::Yes;
}

}  // namespace zeltrix
