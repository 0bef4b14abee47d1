#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "core/lcd/character_map.h"
#include "core/lcd/custom_glyphs.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/lcd_screen.h"
#include "core/profiles/profile_record.h"

namespace zeltrix {

/**
 * What plans the custom characters of a text: the display's map (with custom
 * characters), its size, and the code of slot 0 (0 or 8; slot s is shown by
 * slotBase + s).
 */
struct CgramSetup {
  CharacterMap map{CharacterRom::Cyrillic, false, true};
  LcdGeometry geometry = kDefaultLcdGeometry;
  std::uint8_t slotBase = 8;
};

/**
 * The setup of a profile: its ROM and look-alikes with custom characters
 * (whatever its Cgram says), its Size, and its CgramCodes.
 */
CgramSetup CgramSetupOf(const ProfileRecord& profile);

/** One CGRAM slot as a screen uses it. */
struct CgramSlot {
  CustomGlyph glyph{};        ///< its eight rows
  std::u32string characters;  ///< the screen's characters drawn by it, first seen first
  /** False when the screen does not use the slot (which may still hold an older glyph). */
  bool Used() const { return !characters.empty(); }
};

/** What the user is told about a screen that needs more custom characters than fit. */
struct CgramReport {
  std::size_t screen = 0;  ///< counted from 0
  std::size_t needed = 0;  ///< distinct custom glyphs that the screen's cells need
  /** Characters left without a slot, each with the character standing in for it. */
  std::vector<std::pair<char32_t, char32_t>> replaced;
  std::u32string notShown;  ///< characters left without a slot and without a stand-in

  bool Overflows() const { return needed > static_cast<std::size_t>(kCgramSlots); }
  bool operator==(const CgramReport&) const = default;
};

/**
 * A screen as the display shows it with custom characters: laid out as the
 * LCD preview lays out text (one display row per text line, cut at the row's
 * width, TABs as spaces), each cell holding a character that the ROM shows
 * (Exact, LookAlike, SameGlyph) or that has a glyph elsewhere (Custom);
 * characters with neither take no cell.
 */
struct CgramScreen {
  std::size_t index = 0;  ///< counted from 0
  /**
   * The rows, their codes final: a custom character's slot code, a stand-in's
   * code, and a space for a character left without either. A code below 0x10
   * is a slot's.
   */
  ScreenPage page;
  std::vector<std::u32string> characters;         ///< per row, the character of each cell
  std::vector<std::vector<CharacterKind>> kinds;  ///< per row, how each cell shows it
  std::array<CgramSlot, kCgramSlots> cgramSlots;  ///< the eight slots, slot 0 first
  /**
   * Some slot the screen uses held another glyph, or none, after the screens
   * before it: the slots must be loaded for it. False for a screen that uses
   * no slot.
   */
  bool loads = false;
  CgramReport report;

  /** The glyphs of the slots as the screen draws them; unused slots blank. */
  SlotGlyphs Glyphs() const;
};

/**
 * Lays out the text's screens and plans their slots, screen by screen from
 * the first, and hands each planned screen to visit (which returns false to
 * stop); one screen is held at a time. The plan of a screen:
 *  - its custom characters are grouped by glyph: characters with the same
 *    glyph share a slot; at most 8 glyphs get one;
 *  - when more than 8 are needed, the 8 used in the most cells are kept (on
 *    a tie, the one seen first, row by row from the top left);
 *  - a kept glyph that a slot holds already (loaded for an earlier screen and
 *    not overwritten since, so also every glyph the screen before used) stays
 *    in that slot; the others take, in the order first seen, the slots the
 *    screen does not need: never loaded ones first, lowest first, then the
 *    one whose glyph was needed longest ago;
 *  - a character whose glyph is left out is shown by its stand-in
 *    (StandInFor) when the ROM has one, else by a blank cell, so that the
 *    cells after it stay where the layout put them.
 * Characters past a row's width are not on the screen and are not planned.
 * The same text and setup always give the same plan.
 */
void PlanCgramScreens(std::string_view text, const CgramSetup& setup,
                      const std::function<bool(const CgramScreen&)>& visit);
void PlanCgramScreens(std::u32string_view text, const CgramSetup& setup,
                      const std::function<bool(const CgramScreen&)>& visit);
void PlanCgramScreens(const EngineText& text, const CgramSetup& setup,
                      const std::function<bool(const CgramScreen&)>& visit);

/** Every screen of the text, planned. */
std::vector<CgramScreen> PlanCgram(const EngineText& text, const CgramSetup& setup);

/**
 * One screen (from 0) as planned after the screens before it, for the LCD
 * preview; a screen past the text's end has no rows.
 */
CgramScreen PlanCgramScreen(const EngineText& text, const CgramSetup& setup, std::size_t screen);

/** The reports of the screens that need more than 8 custom glyphs, in order. */
std::vector<CgramReport> CgramOverflows(const EngineText& text, const CgramSetup& setup);

/**
 * The line that tells the user about a screen, in UTF-8:
 * "Экран 3: нужно своих знаков 11, помещается 8; заменены: ж→*, ш→w; не
 * показаны: Щ" (screens counted from 1; a list that would be empty is left
 * out). Empty for a screen whose custom characters all fit.
 */
std::string CgramMessage(const CgramReport& report);

/**
 * The lines of the reports that overflow, one per line, at most maxLines of
 * them, then "…и ещё экранов: N" for the rest; empty when none overflows.
 */
std::string CgramMessages(const std::vector<CgramReport>& reports, std::size_t maxLines);

}  // namespace zeltrix
