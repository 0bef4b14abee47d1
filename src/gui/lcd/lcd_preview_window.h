#pragma once

#include <QTimer>
#include <QWidget>
#include <cstddef>
#include <functional>
#include <string>

#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/lcd_screen.h"
#include "core/profiles/profile_record.h"
#include "core/settings/app_settings.h"
#include "core/ui/file_requester.h"
#include "core/ui/prompter.h"
#include "gui/support/cgram_core.h"
#include "gui/support/dialog_parent.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class QSpinBox;

namespace zeltrix {

class LcdScreenView;
class LcdSlotStrip;

/** What the LCD window takes from the current profile. */
struct ProfileDisplay {
  CharacterRom rom = CharacterRom::Cyrillic;
  bool lookAlikes = false;
  bool cgram = false;         ///< characters the ROM lacks get custom characters
  std::uint8_t slotBase = 8;  ///< the code of slot 0
  LcdGeometry size = kDefaultLcdGeometry;

  bool operator==(const ProfileDisplay&) const = default;
};

/** The display of a profile: its ROM, look-alikes, custom characters and size. */
ProfileDisplay ProfileDisplayOf(const ProfileRecord& profile);

/** How the LCD window reaches the editor whose text it shows; its owner supplies each. */
struct PreviewSource {
  /**
   * The editor's text as it stands; characters Windows-1251 has no code for
   * are laid out as what they are.
   */
  std::function<EngineText()> text;
  /** The line the editor's caret is on, from 0. */
  std::function<std::size_t()> caretLine;
  /**
   * Puts the editor's caret before that character (from 0) of that line, in
   * view, and gives the editor the keyboard.
   */
  std::function<void(std::size_t line, std::size_t character)> placeCaret;
};

/**
 * "Экран LCD": the source text as the display shows it, one screen at a
 * time. A modeless window of its own beside the main window; it follows the
 * source editor's text and caret, redrawing at most every 100 ms after its
 * owner tells it of a change (TextChanged, CaretMoved). Its
 * choices and frame go into the settings record as they change. Closing
 * destroys it.
 *
 * It shows the display of the current profile: its ROM's glyphs, and its
 * look-alikes when it allows them. The window's own ROM list starts at the
 * profile's ROM and follows the profile while it shows the profile's ROM; a
 * ROM the user picks there stays until the user picks the profile's again
 * or closes the window.
 *
 * For a profile with custom characters the screen is drawn as planned for
 * it (the slots' glyphs, stand-ins), the slots of the screen are shown in a
 * strip under the module, the cells that use a slot may be framed, and a
 * line tells when the screen needs more custom characters than fit. The
 * size list then starts at the profile's size and follows it; without them
 * it starts at the size last chosen in the window. A size the user picks is
 * kept for the window as before, and shown until the profile changes.
 */
class LcdPreviewWindow : public QWidget {
  Q_OBJECT

 public:
  /** Least time between two redraws while the user types. */
  static constexpr int kRefreshDelayMs = 100;

  /**
   * Builds the window hidden for the profile's display (its ROM, and whether
   * it allows look-alikes); the editor the source reaches and the record
   * must outlive it.
   */
  LcdPreviewWindow(PreviewSource source, LcdPreviewSettings& settings,
                   const ProfileDisplay& profile, Prompter& prompter, FileRequester& requester);

  /** Another profile, or the same one changed. */
  void SetProfileDisplay(const ProfileDisplay& profile);

  /** The ROM whose glyphs are shown. */
  CharacterRom ShownRom() const;

  /** Shows the window where it stood last, else beside that window, and activates it. */
  void Open(QWidget* beside);

  /** Redraws now from the editor's text and caret, without waiting. */
  void Refresh();

  /** The editor's text changed: the window redraws soon, on the caret's screen. */
  void TextChanged();
  /** The editor's caret moved: the window redraws soon when it left the screen shown. */
  void CaretMoved();

  /** Shows that screen (from 0), or the last one when there are fewer. */
  void ShowScreen(std::size_t screen);

  /** Asks for a file and writes the current screen as a PNG picture into it. */
  void SaveImage();

 signals:
  /** The user or the program has closed the window. */
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void moveEvent(QMoveEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  void BuildControls();
  void SetInitialStates();
  void ScheduleRefresh();
  /** Draws the laid-out screen again, as after a change of theme or zoom. */
  void Redraw();
  LcdGeometry Geometry() const;
  std::size_t ScreenCount() const;
  std::size_t CaretScreen() const;
  void SizeChosen();
  void RomChosen(int row);
  /** How the display shown maps the characters. */
  CharacterMap Map() const {
    return CharacterMap(ShownRom(), m_profile.lookAlikes, m_profile.cgram);
  }
  /** How the screens shown plan their custom characters. */
  CgramSetup Setup() const { return {Map(), Geometry(), m_profile.slotBase}; }
  /** Sets the size list to the profile's size, or to the window's own without custom characters. */
  void ApplyProfileSize();
  void ShowCgramControls();
  void FitToScreen();
  /** The frame the desktop puts around the window. */
  QSize Decoration() const;
  /** The largest size of the window whose frame stays on the screen. */
  QSize LargestSize() const;
  void PlaceCaret(int row, int column);
  QString StatusText() const;
  void KeepFrame();

  PreviewSource m_source;
  LcdPreviewSettings& m_settings;
  WindowPrompter m_prompter;  // its messages belong to it
  WindowFileRequester m_requester;

  QTimer m_refreshTimer;
  EngineText m_text;  // the editor's text, as of the last refresh
  std::size_t m_lineCount = 1;
  bool m_textStale = true;
  bool m_followCaret = true;
  std::size_t m_screen = 0;
  ScreenPage m_page;      // the screen shown, laid out from m_text
  bool m_placed = false;  // a frame of its own, so geometry changes are the user's
  QSize m_decoration;     // the owner's frame, until the window has its own
  ProfileDisplay m_profile;
  bool m_romChosen = false;      // the user picked a ROM other than the profile's
  bool m_sizeByProfile = false;  // the program, not the user, is setting the size list
  CgramScreen m_plan;            // the screen shown, planned, with custom characters

  QComboBox* m_sizes = nullptr;
  QSpinBox* m_zoom = nullptr;
  QComboBox* m_themes = nullptr;
  QComboBox* m_roms = nullptr;
  QScrollArea* m_scroll = nullptr;
  LcdScreenView* m_view = nullptr;
  QLabel* m_status = nullptr;
  QCheckBox* m_markSlots = nullptr;
  LcdSlotStrip* m_slotStrip = nullptr;
  QLabel* m_cgramStatus = nullptr;
  QPushButton* m_previous = nullptr;
  QLabel* m_pageLabel = nullptr;
  QPushButton* m_next = nullptr;
  QPushButton* m_saveImage = nullptr;
};

/** "знак", "знака" or "знаков", as Russian says it after the number. */
const char* CharactersWord(std::size_t count);

}  // namespace zeltrix
