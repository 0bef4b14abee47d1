#pragma once

#include "common/link_opener.h"

namespace zeltrix {

/** Opens addresses with the desktop's default web browser or mail program. */
class DesktopLinkOpener : public LinkOpener {
 public:
  void OpenUrl(const std::string& url) override;
};

}  // namespace zeltrix
