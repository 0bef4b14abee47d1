#pragma once

#include "core/ui/link_opener.h"

namespace zeltrix {

/** Opens addresses with the desktop's default web browser or mail program. */
class DesktopLinkOpener : public LinkOpener {
 public:
  void OpenUrl(const std::string& url) override;
};

}  // namespace zeltrix
