#pragma once

#include <gtest/gtest.h>

#include "core/ui/result.h"

namespace zeltrix::testing {

/**
 * Whether LoadProfile loaded the profile: the file was there and held it.
 * A failure says why not.
 */
inline ::testing::AssertionResult Loaded(const Result<bool>& loaded) {
  if (!loaded) return ::testing::AssertionFailure() << loaded.Reason().text;
  if (!*loaded) return ::testing::AssertionFailure() << "the profile file was not read";
  return ::testing::AssertionSuccess();
}

}  // namespace zeltrix::testing
