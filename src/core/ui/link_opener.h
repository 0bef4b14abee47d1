#pragma once

#include <string>

namespace zeltrix {

/**
 * Hands a web or "mailto:" address to the desktop's handler for it. The
 * windows use the desktop services; tests record what would have opened.
 */
class LinkOpener {
 public:
  virtual ~LinkOpener() = default;
  /** Opens the address; does not wait for the handler and reports nothing. */
  virtual void OpenUrl(const std::string& url) = 0;
};

}  // namespace zeltrix
