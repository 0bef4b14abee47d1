#pragma once

#include <QWidget>
#include <functional>
#include <string>

#include "core/lcd/bin_writer.h"
#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/ui/file_requester.h"
#include "core/ui/prompter.h"
#include "gui/support/dialog_parent.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSpinBox;

namespace zeltrix {

/**
 * The dialog of the binary output: the target file, where and how the codes
 * go into it and the two cleaning options. A modeless top-level window of
 * its own; every change of an option goes into the options record at once,
 * and Convert writes the source text of that moment. Closing destroys it.
 */
class BinDialog : public QWidget {
  Q_OBJECT

 public:
  /** Gives the source editor's whole text. */
  using SourceText = std::function<EngineText()>;
  /** Gives the map of the current profile's display: its ROM and look-alikes. */
  using DisplayMap = std::function<CharacterMap()>;

  /**
   * Builds the dialog hidden, with its controls set from the record. The
   * record and the sources must outlive the dialog.
   */
  BinDialog(BinOutputOptions& options, SourceText sourceText, DisplayMap displayMap,
            Prompter& prompter, FileRequester& requester);

  /** Shows the dialog centred over that window (none: where it is) and activates it. */
  void Open(QWidget* over);

  /** Asks for the target file; a name without an extension gets ".bin". */
  void Browse();

  /**
   * Prepares the source text and writes its codes, those of the current
   * profile's display, as the controls say.
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
  void SetInitialStates();
  void ConnectControls();
  void ApplyEnableRules();

  BinOutputOptions& m_options;
  SourceText m_sourceText;
  DisplayMap m_displayMap;
  WindowPrompter m_prompter;  // its messages belong to it
  WindowFileRequester m_requester;

  QLineEdit* m_path = nullptr;
  // The chosen file's name as the system has it; the field shows it as text.
  std::string m_chosenPath;
  QPushButton* m_browse = nullptr;
  QPushButton* m_convert = nullptr;
  QPushButton* m_cancel = nullptr;
  QCheckBox* m_removeUndisplayable = nullptr;
  QCheckBox* m_removeSpaces = nullptr;
  QLabel* m_spaceCountCaption = nullptr;
  QSpinBox* m_spaceCount = nullptr;
  QComboBox* m_saveTo = nullptr;
  QComboBox* m_add = nullptr;
  QComboBox* m_how = nullptr;
  QLineEdit* m_startAddress = nullptr;
  QLabel* m_startAddressCaption = nullptr;
};

}  // namespace zeltrix
