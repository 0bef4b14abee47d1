#pragma once

#include <string>
#include <string_view>

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

/**
 * A reason written for the end of a message ("файл занят: ...") as a
 * sentence of its own: the first letter (Latin or Russian) capitalised and a
 * full stop added.
 */
inline std::string AsSentence(std::string_view reason) {
  std::string s(reason);
  if (s.empty()) return s;
  const auto byte = [&s](std::size_t i) { return static_cast<unsigned char>(s[i]); };
  if (byte(0) >= 'a' && byte(0) <= 'z') {
    s[0] = static_cast<char>(byte(0) - 'a' + 'A');
  } else if (s.size() > 1 && byte(0) == 0xD0 && byte(1) >= 0xB0 && byte(1) <= 0xBF) {
    s[1] = static_cast<char>(byte(1) - 0x20);  // а to п
  } else if (s.size() > 1 && byte(0) == 0xD1 && byte(1) >= 0x80 && byte(1) <= 0x8F) {
    s[0] = static_cast<char>(0xD0);  // р to я
    s[1] = static_cast<char>(byte(1) + 0x20);
  }
  if (s.back() != '.') s += '.';
  return s;
}

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
