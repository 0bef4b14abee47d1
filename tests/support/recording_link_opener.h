#pragma once

#include <string>
#include <vector>

#include "core/ui/link_opener.h"

namespace zeltrix::testing {

/** Records every address handed to the desktop instead of opening it. */
class RecordingLinkOpener : public LinkOpener {
 public:
  void OpenUrl(const std::string& url) override { opened.push_back(url); }

  std::vector<std::string> opened;
};

}  // namespace zeltrix::testing
