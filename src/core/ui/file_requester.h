#pragma once

#include <optional>
#include <string>
#include <vector>

namespace zeltrix {

/** One entry of a file requester's filter list: its label and its pattern, as shown. */
struct FileFilter {
  std::string label;
  std::string pattern;
};

/** What a file requester shows (texts in UTF-8). */
struct FileRequest {
  enum class Mode { Open, Save };
  Mode mode = Mode::Open;
  std::string title;
  std::string folder;  ///< the folder it opens in; empty for the system's default
  std::vector<FileFilter> filters;
};

/**
 * Asks the user for a file. The windows supply file dialogs; tests script
 * the answers and record what was asked.
 */
class FileRequester {
 public:
  virtual ~FileRequester() = default;
  /** The chosen path, or nothing when the user cancelled. */
  virtual std::optional<std::string> Choose(const FileRequest& request) = 0;
};

}  // namespace zeltrix
