#include "gui/image/image_open_dialog.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>

#include "core/image/image_writer.h"
#include "core/lcd/lcd_screen.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/rom_captions.h"

namespace zeltrix {
namespace {

// The largest address or length: an Intel HEX file addresses 32 bits.
constexpr std::uint64_t kLargest = 0xFFFFFFFF;

QString FromView(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

}  // namespace

std::optional<std::uint64_t> ParseImageNumber(const QString& text) {
  const QString trimmed = text.trimmed();
  const bool hex = trimmed.startsWith("0x", Qt::CaseInsensitive);
  const QString digits = hex ? trimmed.mid(2) : trimmed;
  if (digits.isEmpty() || digits.size() > 10) return std::nullopt;
  bool ok = false;
  const qulonglong value = digits.toULongLong(&ok, hex ? 16 : 10);
  if (!ok || value > kLargest) return std::nullopt;
  return value;
}

ImageOpenDialog::ImageOpenDialog(QWidget* parent, const std::string& path, CharacterRom rom,
                                 HexLayout layout)
    : QDialog(parent) {
  setObjectName("imageOpenDialog");
  setWindowTitle("Открыть образ");
  setFixedSize(390, 262);
  setFont(FixedLayoutFont());

  // Created in the order of the Tab key.
  m_fileCaption = new QLabel("Файл:", this);
  m_fileCaption->setObjectName("imageFileLabel");
  SetTextColour(m_fileCaption, QColor(90, 10, 158));
  m_fileName = new QLabel(this);
  m_fileName->setObjectName("imageFileName");
  // The whole path stays in the tooltip; the label shows what fits.
  m_fileName->setToolTip(QString::fromStdString(path));

  const auto caption = [this](const char* name, const char* text) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    return label;
  };
  const auto list = [this](const char* name) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    return combo;
  };
  const auto number = [this](const char* name, const QString& text) {
    auto* field = new QLineEdit(text, this);
    field->setObjectName(name);
    field->setMaxLength(10);
    field->setValidator(new QRegularExpressionValidator(
        QRegularExpression("0[xX][0-9A-Fa-f]{0,8}|[0-9]{0,10}"), field));
    field->setToolTip("Десятичное число или шестнадцатеричное после 0x");
    return field;
  };

  m_fileTypeCaption = caption("imageFileTypeLabel", "Тип файла:");
  m_fileType = list("imageFileTypeCombo");
  m_fileType->addItems({"BIN", "Intel HEX"});
  m_fileType->setCurrentIndex(ImageFileFormatOfPath(path) == ImageFileFormat::IntelHex ? 1 : 0);

  m_layoutCaption = caption("imageLayoutLabel", "Размещение данных в HEX:");
  m_layout = list("imageLayoutCombo");
  for (std::size_t row = 0; row < kHexLayouts.size(); ++row) {
    m_layout->addItem(FromView(HexLayoutTitle(kHexLayouts[row])));
    if (kHexLayouts[row] == layout) m_layout->setCurrentIndex(static_cast<int>(row));
  }

  m_addressCaption = caption("imageAddressLabel", "Начальный адрес:");
  m_address = number("imageAddressEdit", "0");
  m_lengthCaption = caption("imageLengthLabel", "Длина, байт:");
  m_length = number("imageLengthEdit", "");
  m_length->setPlaceholderText("до конца");

  m_romCaption = caption("imageRomLabel", "Знакогенератор:");
  m_rom = list("imageRomCombo");
  AddRomItems(m_rom);
  m_rom->setCurrentIndex(RowOfRom(rom));

  m_rowsCaption = caption("imageRowsLabel", "Строка текста на строку экрана:");
  m_rows = list("imageRowsCombo");
  m_rows->addItem("не делить");
  for (const LcdGeometry& size : kLcdGeometries) {
    m_rows->addItem(QString("%1×%2").arg(size.columns).arg(size.rows));
  }
  m_rows->setMaxVisibleItems(m_rows->count());

  m_open = new QPushButton("Открыть", this);
  m_open->setObjectName("imageOpenButton");
  m_open->setDefault(true);
  m_cancel = new QPushButton("Отмена", this);
  m_cancel->setObjectName("imageCancelButton");
  m_cancel->setAutoDefault(false);

  LayOutControls();

  connect(m_fileType, &QComboBox::currentIndexChanged, this, [this] { ApplyEnableRules(); });
  for (QLineEdit* field : {m_address, m_length}) {
    connect(field, &QLineEdit::textChanged, this, [this] { ApplyEnableRules(); });
  }
  connect(m_open, &QPushButton::clicked, this, &ImageOpenDialog::accept);
  connect(m_cancel, &QPushButton::clicked, this, &ImageOpenDialog::reject);
  ApplyEnableRules();
  m_address->setFocus();
  m_address->selectAll();
}

// The one place of every control, in the window's pixels; then the captions
// are fitted to their places and the file's path to its line.
void ImageOpenDialog::LayOutControls() {
  PlaceControls({
      {m_fileCaption, {10, 12, 45, 15}},
      {m_fileName, {60, 12, 320, 15}},
      {m_fileTypeCaption, {10, 42, 170, 15}},
      {m_fileType, {185, 39, 195, 0}},
      {m_layoutCaption, {10, 72, 170, 15}},
      {m_layout, {185, 69, 195, 0}},
      {m_addressCaption, {10, 102, 170, 15}},
      {m_address, {185, 99, 100, 20}},
      {m_lengthCaption, {10, 132, 170, 15}},
      {m_length, {185, 129, 100, 20}},
      {m_romCaption, {10, 162, 170, 15}},
      {m_rom, {185, 159, 195, 0}},
      {m_rowsCaption, {10, 192, 170, 15}},
      {m_rows, {185, 189, 100, 0}},
      {m_open, {205, 227, 85, 25}},
      {m_cancel, {295, 227, 85, 25}},
  });
  for (QLabel* label : {m_fileCaption, m_fileTypeCaption, m_layoutCaption, m_addressCaption,
                        m_lengthCaption, m_romCaption, m_rowsCaption}) {
    FitText(label);
  }
  // A long path loses its start: the file's own name stays in sight.
  m_fileName->setText(m_fileName->fontMetrics().elidedText(m_fileName->toolTip(), Qt::ElideLeft,
                                                           m_fileName->width()));
}

void ImageOpenDialog::ApplyEnableRules() {
  const bool hex = m_fileType->currentIndex() == 1;
  m_layoutCaption->setEnabled(hex);
  m_layout->setEnabled(hex);
  m_open->setEnabled(Decoding().has_value());
}

std::optional<ImageDecoding> ImageOpenDialog::Decoding() const {
  ImageDecoding how;
  const std::optional<std::uint64_t> from = ParseImageNumber(m_address->text());
  if (!from) return std::nullopt;
  how.from = *from;
  // An empty length reads to the image's end.
  if (!m_length->text().trimmed().isEmpty()) {
    how.length = ParseImageNumber(m_length->text());
    if (!how.length) return std::nullopt;
  }
  how.format = m_fileType->currentIndex() == 1 ? ImageFileFormat::IntelHex : ImageFileFormat::Bin;
  how.layout = kHexLayouts[static_cast<std::size_t>(std::max(0, m_layout->currentIndex()))];
  how.rom = RomOfRow(m_rom->currentIndex());
  if (const int row = m_rows->currentIndex(); row > 0) {
    how.geometry = kLcdGeometries[static_cast<std::size_t>(row - 1)];
  }
  return how;
}

void ImageOpenDialog::accept() {
  if (Decoding()) QDialog::accept();
}

}  // namespace zeltrix
