#include "core/settings/startup_rules.h"

#include <gtest/gtest.h>

#include <climits>

namespace zeltrix {
namespace {

TEST(StartupRules, TheStoredWindowFitsTheScreenThatShowsItMost) {
  // The primary screen first; a second one to its right.
  const std::vector<ScreenArea> screens = {{0, 0, 1280, 1000}, {1280, 0, 800, 600}};
  struct Case {
    int x, y, w, h;
    int fx, fy, fw, fh;
  };
  const Case cases[] = {
      {50, 20, 700, 500, 50, 20, 700, 500},              // fits: left alone
      {10, 10, INT_MAX, INT_MAX, 10, 10, 1280, 1000},    // capped, left edge kept
      {1500, 100, 100000, 100000, 1500, 100, 800, 600},  // on the second screen
      {-280, -20, 2000, 1800, -280, -20, 1280, 1000},    // partly shown stays where it is
      {2000, 1800, 700, 500, 580, 500, 700, 500},        // shown by none: onto the primary screen
      {-32000, -32000, 700, 500, 0, 0, 700, 500},
  };
  for (const Case& c : cases) {
    AppSettings s;
    s.X = c.x;
    s.Y = c.y;
    s.W = c.w;
    s.H = c.h;
    FitStoredGeometryToScreens(s, screens);
    EXPECT_EQ((std::vector<int>{s.X, s.Y, s.W, s.H}), (std::vector<int>{c.fx, c.fy, c.fw, c.fh}))
        << c.x << "," << c.y << " " << c.w << "x" << c.h;
  }
  // Without a screen to measure, nothing is changed.
  AppSettings none;
  none.W = INT_MAX;
  FitStoredGeometryToScreens(none, {});
  EXPECT_EQ(none.W, INT_MAX);
}

}  // namespace
}  // namespace zeltrix
