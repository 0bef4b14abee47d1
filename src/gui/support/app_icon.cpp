#include "gui/support/app_icon.h"

// Q_INIT_RESOURCE must run outside a namespace.
static void InitOwnIcons() {
  static const bool done = [] {
    Q_INIT_RESOURCE(zeltrix);
    return true;
  }();
  (void)done;
}

namespace zeltrix {

QIcon ApplicationIcon() {
  InitOwnIcons();
  return QIcon::fromTheme(kDesktopId, QIcon(":/icons/zeltrix.svg"));
}

}  // namespace zeltrix
