#include "core/settings/recent_files.h"

#include <algorithm>

namespace zeltrix {
namespace {

RecentFileLabels Labels(const RecentFileList& list, std::string_view separator) {
  RecentFileLabels labels;
  for (int n = 1; n <= kRecentFileCount; ++n) {
    labels[n - 1] = std::to_string(n);
    labels[n - 1].append(separator).append(list[n - 1]);
  }
  return labels;
}

}  // namespace

std::string RecentFileKey(int n) { return "File" + std::to_string(n); }

RecentFileLabels RecentFileMenuLabels(const RecentFileList& list) { return Labels(list, ")  "); }

RecentFileLabels RecordRecentFile(RecentFileList& list, std::string_view path) {
  // Entries below the one found keep their places, repeats and gaps included.
  auto found = std::find(list.begin(), list.end(), path);
  if (found == list.end()) found = list.end() - 1;
  std::move_backward(list.begin(), found, found + 1);
  list.front() = path;
  // Relabelling puts four spaces where building the menu put two.
  return Labels(list, ")    ");
}

}  // namespace zeltrix
