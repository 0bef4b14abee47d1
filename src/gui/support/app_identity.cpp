#include "gui/support/app_identity.h"

#include "core/settings/program_paths.h"

// Q_INIT_RESOURCE must run outside a namespace.
static void InitResourcesOnce() {
  static const bool done = [] {
    Q_INIT_RESOURCE(zeltrix);
    return true;
  }();
  (void)done;
}

namespace zeltrix {

void InitOwnResources() { InitResourcesOnce(); }

QIcon ApplicationIcon() {
  InitOwnResources();
  return QIcon::fromTheme(kDesktopId, QIcon(":/icons/zeltrix.svg"));
}

void SetUpApplicationIdentity(QGuiApplication& app) {
  app.setApplicationName(QString::fromUtf8(kApplicationName.data(), kApplicationName.size()));
  app.setDesktopFileName(kDesktopId);
  app.setWindowIcon(ApplicationIcon());
}

}  // namespace zeltrix
