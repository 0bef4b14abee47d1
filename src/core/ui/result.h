#pragma once

#include <optional>
#include <string>
#include <utility>
#include <variant>

#include "core/ui/prompter.h"

namespace zeltrix {

// How the core's operations tell their caller that they failed. There are
// two shapes, and only two:
//
//  - a status: success, or why not (Status, StatusOf<Why>; FileStatus for a
//    call to the file system, whose reason is the end of a sentence);
//  - a value or the reason why there is none (Result<T>, Result<T, Why>).
//
// The reason is the caller's to show: a window puts up a message box with
// the message's title, text and icon, the command line prints its text. The
// Prompter is left for the questions the user must answer in the middle of an
// operation; what happened is never shown from inside the core.

/** The reason an operation failed, for the return statement: `return Failure{why};`. */
template <typename Why>
struct Failure {
  Why why;
};
template <typename Why>
Failure(Why) -> Failure<Why>;

/** The message of a failure, with the error icon and an OK button. */
inline Message ErrorMessage(std::string title, std::string text) {
  return {std::move(title), std::move(text), MessageIcon::Error, MessageButtons::Ok,
          MessageAnswer::Ok};
}

/** The message of a failure, with the warning icon and an OK button. */
inline Message WarningMessage(std::string title, std::string text) {
  return {std::move(title), std::move(text), MessageIcon::Warning, MessageButtons::Ok,
          MessageAnswer::Ok};
}

/**
 * Success, or why an operation failed: by default the message for the user;
 * a layer with reasons of its own names their type (StatusOf<Why>).
 */
template <typename Why>
class StatusOf {
 public:
  /** Success. */
  StatusOf() = default;
  /** A failure. */
  StatusOf(Failure<Why> failure) : m_reason(std::move(failure.why)) {}  // NOLINT: implicit

  bool Ok() const { return !m_reason.has_value(); }
  explicit operator bool() const { return Ok(); }
  /** Why it failed; only for a failure. */
  const Why& Reason() const { return *m_reason; }

 private:
  std::optional<Why> m_reason;
};

/** Success, or the message that tells the user why an operation failed. */
using Status = StatusOf<Message>;

/**
 * A value, or the reason there is none: by default the message for the
 * user, for lower-level calls whatever says why best (a FileStatus, a fault
 * with its line). Tests of it read as tests of a bool.
 */
template <typename T, typename Why = Message>
class Result {
 public:
  Result(T value) : m_state(std::in_place_index<0>, std::move(value)) {}  // NOLINT: implicit
  Result(Failure<Why> failure)                                            // NOLINT: implicit
      : m_state(std::in_place_index<1>, std::move(failure.why)) {}

  bool Ok() const { return m_state.index() == 0; }
  explicit operator bool() const { return Ok(); }

  /** The value; only on success. */
  T& operator*() & { return std::get<0>(m_state); }
  const T& operator*() const& { return std::get<0>(m_state); }
  T&& operator*() && { return std::get<0>(std::move(m_state)); }
  T* operator->() { return &std::get<0>(m_state); }
  const T* operator->() const { return &std::get<0>(m_state); }

  /** Why there is no value; only for a failure. */
  const Why& Reason() const { return std::get<1>(m_state); }

 private:
  std::variant<T, Why> m_state;
};

}  // namespace zeltrix
