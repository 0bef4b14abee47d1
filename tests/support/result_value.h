#pragma once

#include <optional>
#include <vector>

#include "core/ui/result.h"

namespace zeltrix::testing {

/** The value of a result, or nothing for a failure: to compare with what a case expects. */
template <typename T, typename Why>
std::optional<T> ValueOf(const Result<T, Why>& result) {
  return result ? std::optional<T>(*result) : std::nullopt;
}

/**
 * The messages a user sees of a run that ends with a status: those the run
 * showed (its questions), then the one the caller shows for its outcome, the
 * success notice or the reason it failed.
 */
inline std::vector<Message> SeenOf(std::vector<Message> shown, const Status& outcome,
                                   const Message& success) {
  shown.push_back(outcome ? success : outcome.Reason());
  return shown;
}

}  // namespace zeltrix::testing
