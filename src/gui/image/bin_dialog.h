#pragma once

#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "core/image/hex_layout.h"
#include "core/image/image_writer.h"
#include "core/lcd/bin_writer.h"
#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/settings/app_settings.h"
#include "core/ui/file_requester.h"
#include "core/ui/prompter.h"
#include "gui/support/cgram_core.h"
#include "gui/support/dialog_parent.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace zeltrix {

/**
 * The dialog of the binary output: the target file, where and how the codes
 * go into it, the two cleaning options, and the file's format: BIN or Intel
 * HEX (its layout and record length) and the chip a new image is made the
 * size of. A modeless top-level window of its own; every change of an option
 * of the record goes into it at once, and Convert writes the source text of
 * that moment. The format lives as long as the dialog: the file type follows
 * the chosen file's extension and the layout starts as the profile's. Closing
 * destroys it.
 */
class BinDialog : public QWidget {
  Q_OBJECT

 public:
  /** Gives the source editor's whole text. */
  using SourceText = std::function<EngineText()>;
  /** Gives the map of the current profile's display: its ROM and look-alikes. */
  using DisplayMap = std::function<CharacterMap()>;
  /** Gives how the current profile plans custom characters; nothing when it uses none. */
  using CgramSource = std::function<std::optional<CgramSetup>()>;

  /**
   * Builds the dialog hidden, with its controls set from the record and the
   * layout list at the layout given. The record and the sources must outlive
   * the dialog.
   */
  BinDialog(BinOutputOptions& options, SourceText sourceText, DisplayMap displayMap,
            CgramSource cgramSource, HexLayout layout, Prompter& prompter,
            FileRequester& requester);

  /** Shows the dialog centred over that window (none: where it is) and activates it. */
  void Open(QWidget* over);

  /**
   * Asks for the target file, offering the chosen file type's files first; a
   * name without an extension gets ".bin" or ".hex" as the type says, and a
   * name ending in .hex or .ihx chooses Intel HEX, one ending in .bin BIN.
   */
  void Browse();

  /** The file format the controls describe. */
  ImageFormat Format() const;

  /**
   * Prepares the source text and writes its codes, those of the current
   * profile's display, as the controls say. With custom characters the text
   * is written as it is, one record per screen (CGRAM and codes), and
   * inserting or replacing must start at a record's boundary; the screens
   * whose custom characters do not all fit are told after the writing.
   */
  void Convert();

 signals:
  /** The user or the program has closed the window. */
  void closed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();
  void LayOutControls();
  void SetInitialStates();
  void ConnectControls();
  void ApplyEnableRules();

  BinOutputOptions& m_options;
  SourceText m_sourceText;
  DisplayMap m_displayMap;
  CgramSource m_cgramSource;
  WindowPrompter m_prompter;  // its messages belong to it
  WindowFileRequester m_requester;

  // The controls, each a member so that the table of places names it.
  QGroupBox* m_fileFrame = nullptr;
  QLabel* m_pathCaption = nullptr;
  QLineEdit* m_path = nullptr;
  // The chosen file's name as the system has it; the field shows it as text.
  std::string m_chosenPath;
  QPushButton* m_browse = nullptr;
  QPushButton* m_convert = nullptr;
  QPushButton* m_cancel = nullptr;
  QGroupBox* m_optionsFrame = nullptr;
  QCheckBox* m_removeUndisplayable = nullptr;
  QCheckBox* m_removeSpaces = nullptr;
  QLabel* m_spaceCountCaption = nullptr;
  QSpinBox* m_spaceCount = nullptr;
  QLabel* m_saveToCaption = nullptr;
  QComboBox* m_saveTo = nullptr;
  QLabel* m_addCaption = nullptr;
  QComboBox* m_add = nullptr;
  QLabel* m_howCaption = nullptr;
  QComboBox* m_how = nullptr;
  QLineEdit* m_startAddress = nullptr;
  QLabel* m_startAddressCaption = nullptr;
  QGroupBox* m_formatFrame = nullptr;
  QLabel* m_fileTypeCaption = nullptr;
  QComboBox* m_fileType = nullptr;
  QLabel* m_layoutCaption = nullptr;
  QComboBox* m_layout = nullptr;
  QLabel* m_recordLengthCaption = nullptr;
  QComboBox* m_recordLength = nullptr;
  QLabel* m_chipCaption = nullptr;
  QComboBox* m_chip = nullptr;
};

}  // namespace zeltrix
