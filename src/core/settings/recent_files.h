#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zeltrix {

/** Number of entries of the recent files list. */
inline constexpr int kRecentFileCount = 10;

/**
 * The recent files list: element 0 is entry 1, the newest. An entry holds a
 * path exactly as the load or save received it; an empty one holds no file
 * and may stand anywhere, also between filled ones.
 */
using RecentFileList = std::array<std::string, kRecentFileCount>;

/** The labels of the ten items of the "Недавние файлы" submenu, item 1 first. */
using RecentFileLabels = std::array<std::string, kRecentFileCount>;

/** The settings key of entry n (1 to 10): "File1" to "File10". */
std::string RecentFileKey(int n);

/** The labels the submenu gets when the main window's menus are built: "1)  path". */
RecentFileLabels RecentFileMenuLabels(const RecentFileList& list);

/**
 * Records a loaded or saved file: the first entry equal to the path (bytes
 * compared exactly) leaves its place and the entries above it move down one;
 * a path not in the list pushes every entry down and the last one out. The
 * path then stands as entry 1. Returns the labels to put on all ten items
 * now: "1)    path".
 */
RecentFileLabels RecordRecentFile(RecentFileList& list, std::string_view path);

}  // namespace zeltrix
