#include "gui/support/desktop_link_opener.h"

#include <QDesktopServices>
#include <QUrl>

namespace zeltrix {

void DesktopLinkOpener::OpenUrl(const std::string& url) {
  // Whether a handler started is not the program's concern.
  QDesktopServices::openUrl(QUrl(QString::fromStdString(url)));
}

}  // namespace zeltrix
