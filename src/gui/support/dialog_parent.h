#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ui/file_requester.h"
#include "core/ui/prompter.h"

namespace zeltrix {

/**
 * While it lives, the program's messages and file dialogs belong to that
 * window: it is the one that asked, whichever window the desktop holds
 * active at that moment (none, between two messages; the one the user
 * clicked in last, while its activation is still on its way).
 */
class AskingWindow {
 public:
  explicit AskingWindow(QWidget* window);
  ~AskingWindow();
  AskingWindow(const AskingWindow&) = delete;
  AskingWindow& operator=(const AskingWindow&) = delete;

 private:
  QWidget* m_previous;
};

/**
 * The window a message box or file dialog belongs over: the window that
 * asks (see AskingWindow) when it takes input, else the active window when
 * it does, else the given one when it does, else none. While a long
 * conversion or a profile window runs, the main window is disabled, and a
 * dialog over it would be disabled too.
 */
QWidget* DialogParent(QWidget* preferred);

/** Puts the window a dialog belonged to in front again and gives it the keyboard. */
void ReturnTo(QWidget* window);

/** Calls ReturnTo for the window when it goes out of scope, after the dialog over it. */
class FrontAgainAfterwards {
 public:
  explicit FrontAgainAfterwards(QWidget* window) : m_window(window) {}
  ~FrontAgainAfterwards() { ReturnTo(m_window); }
  FrontAgainAfterwards(const FrontAgainAfterwards&) = delete;
  FrontAgainAfterwards& operator=(const FrontAgainAfterwards&) = delete;

 private:
  QPointer<QWidget> m_window;
};

/** A window's own prompter: its messages and questions belong to it. */
class WindowPrompter : public Prompter {
 public:
  WindowPrompter(Prompter& base, QWidget* window) : m_base(base), m_window(window) {}
  MessageAnswer Show(const Message& message) override {
    const AskingWindow asking(m_window);
    return m_base.Show(message);
  }

 private:
  Prompter& m_base;
  QWidget* m_window;
};

/** A window's own file requester: its file dialogs belong to it. */
class WindowFileRequester : public FileRequester {
 public:
  WindowFileRequester(FileRequester& base, QWidget* window) : m_base(base), m_window(window) {}
  std::optional<std::string> Choose(const FileRequest& request) override {
    const AskingWindow asking(m_window);
    return m_base.Choose(request);
  }

 private:
  FileRequester& m_base;
  QWidget* m_window;
};

}  // namespace zeltrix
