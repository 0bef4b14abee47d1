#pragma once

#include <QDialog>
#include <optional>
#include <string>

#include "core/image/hex_layout.h"
#include "core/image/image_reader.h"
#include "core/lcd/character_rom.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zeltrix {

/**
 * The small dialog "Открыть образ": what part of an image file to read back
 * as text and how. The file type starts as the file's extension says, the
 * layout and the ROM as the current profile's; the start address is read in
 * decimal or, after 0x, in hexadecimal, and an empty length reads to the
 * image's end. "Открыть" is taken only with numbers that can be addresses.
 */
class ImageOpenDialog : public QDialog {
  Q_OBJECT

 public:
  ImageOpenDialog(QWidget* parent, const std::string& path, CharacterRom rom, HexLayout layout);

  /** What the controls ask for; nothing while a number is not one. */
  std::optional<ImageDecoding> Decoding() const;

  void accept() override;

 private:
  void LayOutControls();
  void ApplyEnableRules();

  QLabel* m_fileCaption = nullptr;
  QLabel* m_fileName = nullptr;
  QLabel* m_fileTypeCaption = nullptr;
  QComboBox* m_fileType = nullptr;
  QLabel* m_layoutCaption = nullptr;
  QComboBox* m_layout = nullptr;
  QLabel* m_addressCaption = nullptr;
  QLineEdit* m_address = nullptr;
  QLabel* m_lengthCaption = nullptr;
  QLineEdit* m_length = nullptr;
  QLabel* m_romCaption = nullptr;
  QComboBox* m_rom = nullptr;
  QLabel* m_rowsCaption = nullptr;
  QComboBox* m_rows = nullptr;
  QPushButton* m_open = nullptr;
  QPushButton* m_cancel = nullptr;
};

/**
 * A number of the dialog's fields: decimal digits, or hexadecimal ones after
 * 0x (either case); nothing for an empty or other text, or one past 32 bits.
 */
std::optional<std::uint64_t> ParseImageNumber(const QString& text);

}  // namespace zeltrix
