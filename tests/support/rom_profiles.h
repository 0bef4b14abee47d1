#pragma once

#include <QComboBox>
#include <QTest>
#include <string>

#include "tests/support/default_database.h"

namespace zeltrix::testing {

/**
 * A profile like "ASM — DT For PIC" without a byte limit per line, for a
 * display with that ROM ("" for the default, stored without the key) and
 * look-alikes or not.
 */
inline std::string RomGroup(const std::string& name, const std::string& rom, bool lookAlikes) {
  return DefaultGroup(name, "4", "Dt", "", "", "0x", "[String]; [/String]", "0", "0") +
         (rom.empty() ? "" : "Rom = " + rom + "\r\n") + (lookAlikes ? "LookAlikes = 1\r\n" : "");
}

/** Profiles for every display, in the selector's order. */
enum RomProfile : int {
  kCyrillicProfile,
  kA00Profile,
  kA00LookAlikes,
  kA02Profile,
  kA02LookAlikes
};

inline const std::string kRomDatabase =
    RomGroup("Cyrillic", "", false) + RomGroup("A00", "A00", false) +
    RomGroup("A00+", "A00", true) + RomGroup("A02", "A02", false) + RomGroup("A02+", "A02", true);

/** Chooses a profile in the main window's selector with the arrow keys, as the user does. */
inline void ChooseProfile(QComboBox* selector, int row) {
  for (int i = 0; i < selector->count() && selector->currentIndex() != row; ++i) {
    // Each choice sends the focus back to the source editor.
    selector->setFocus();
    QTest::keyClick(selector, selector->currentIndex() < row ? Qt::Key_Down : Qt::Key_Up);
  }
}

}  // namespace zeltrix::testing
