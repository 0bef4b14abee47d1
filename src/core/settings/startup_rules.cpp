#include "core/settings/startup_rules.h"

namespace zeltrix {

void CorrectStoredGeometry(AppSettings& settings) {
  if (settings.X < -280 || settings.X > 2000) settings.X = 10;
  if (settings.Y < -20 || settings.Y > 1800) settings.Y = 10;
  if (settings.W < 300) settings.W = 410;
  if (settings.H < 300) settings.H = 410;
}

int ProfileIndexToSelect(int pos, int count) { return pos < 0 || pos >= count ? count - 1 : pos; }

}  // namespace zeltrix
