#pragma once

#include "core/settings/recent_files.h"

namespace zeltrix {

/** The main window's commands, by the numbers their menu items and buttons carry. */
enum class Command : int {
  Open = 1,
  SaveAs = 2,
  ManageProfiles = 3,
  Leave = 4,
  About = 5,
  Convert = 7,
  ConvertToBin = 8,
  New = 9,
  Save = 10,
  LcdPreview = 11,
  OpenImage = 12,
  Undo = 18,
  Redo = 19,
  Cut = 20,
  Copy = 21,
  Paste = 22,
  SelectAll = 23,
  SaveToFile = 24,
  RecentFile1 = 30,  ///< to 39 for recent entries 1 to 10
};

/** The command of recent entry n (1 to 10). */
constexpr Command RecentFileCommand(int n) {
  return static_cast<Command>(static_cast<int>(Command::RecentFile1) - 1 + n);
}

/** The recent entry (1 to 10) a command opens, or 0 when it opens none. */
constexpr int RecentFileEntry(Command command) {
  const int n = static_cast<int>(command) - static_cast<int>(Command::RecentFile1) + 1;
  return n >= 1 && n <= kRecentFileCount ? n : 0;
}

}  // namespace zeltrix
