#include "gui/image/bin_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSpinBox>

#include "core/io/text_file.h"
#include "gui/support/cgram_text.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/window_placement.h"

namespace zeltrix {
namespace {

constexpr int kMaxStartAddress = 99999999;

// A stored 0/1 choice out of its range shows as the first choice.
int Choice(std::int32_t stored) { return stored == 0 || stored == 1 ? stored : 0; }

// The rows of the file type list, in the order of ImageFileFormat.
constexpr ImageFileFormat kFileTypes[] = {ImageFileFormat::Bin, ImageFileFormat::IntelHex};

// A chip in the list: its name and size, "24C08 (1 Кбайт)".
QString ChipCaption(const EepromChip& chip) {
  const QString size = chip.size < 1024 ? QString("%1 байт").arg(chip.size)
                                        : QString("%1 Кбайт").arg(chip.size / 1024);
  return QString("%1 (%2)").arg(QString::fromUtf8(chip.name.data(), chip.name.size()), size);
}

// What became of a conversion: the notice of success, or why nothing was written.
void ShowOutcome(Prompter& prompter, const Status& written) {
  prompter.Show(written ? BinWrittenMessage() : written.Reason());
}

}  // namespace

BinDialog::BinDialog(BinOutputOptions& options, SourceText sourceText, DisplayMap displayMap,
                     CgramSource cgramSource, HexLayout layout, Prompter& prompter,
                     FileRequester& requester)
    // No owner: the dialog is a window of its own beside the main window.
    : QWidget(nullptr, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint),
      m_options(options),
      m_sourceText(std::move(sourceText)),
      m_displayMap(std::move(displayMap)),
      m_cgramSource(std::move(cgramSource)),
      m_prompter(prompter, this),
      m_requester(requester, this) {
  setObjectName("binDialog");
  setWindowTitle("Преобразование текста в BIN формат");
  // The file format's frame stands right of the others, which keep their places.
  setFixedSize(586, 308);
  setFont(FixedLayoutFont());
  BuildControls();
  SetInitialStates();
  for (std::size_t row = 0; row < kHexLayouts.size(); ++row) {
    if (kHexLayouts[row] == layout) m_layout->setCurrentIndex(static_cast<int>(row));
  }
  ApplyEnableRules();
  // Only what the user changes goes into the record: a stored value out of
  // its range stays there until its control is changed.
  ConnectControls();
}

void BinDialog::BuildControls() {
  // Created in this order, which is also the order of the Tab key.
  m_pathCaption = new QLabel("Путь к файлу:", this);
  m_pathCaption->setObjectName("pathLabel");
  SetTextColour(m_pathCaption, QColor(90, 10, 158));

  m_path = new QLineEdit(this);
  m_path->setObjectName("pathEdit");
  m_path->setReadOnly(true);
  QPalette pathPalette = m_path->palette();
  pathPalette.setColor(QPalette::Base, QColor(245, 245, 245));
  m_path->setPalette(pathPalette);

  m_browse = new QPushButton("...", this);
  m_browse->setObjectName("browseButton");
  m_browse->setToolTip("Обзор");

  m_convert = new QPushButton("Преобразовать", this);
  m_convert->setObjectName("convertButton");
  m_convert->setDefault(true);

  m_cancel = new QPushButton("Отмена", this);
  m_cancel->setObjectName("cancelButton");

  m_optionsFrame = new QGroupBox("Опции преобразования", this);
  m_optionsFrame->setObjectName("optionsGroup");

  m_removeUndisplayable = new QCheckBox("Удалять неотображаемые символы", this);
  m_removeUndisplayable->setObjectName("removeUndisplayableCheck");
  m_removeUndisplayable->setToolTip("Удалить символы, которые индикатор не способен отобразить");

  m_removeSpaces = new QCheckBox("Удалять «ненужные» пробелы", this);
  m_removeSpaces->setObjectName("removeSpacesCheck");
  m_removeSpaces->setToolTip("Удаление последовательно расположенных пробелов");

  m_spaceCountCaption = new QLabel("Число последовательно расположенных пробелов", this);
  m_spaceCountCaption->setObjectName("spaceCountLabel");

  m_spaceCount = new QSpinBox(this);
  m_spaceCount->setObjectName("spaceCountSpin");
  m_spaceCount->setRange(1, 100);
  m_spaceCount->setToolTip(
      "Максимальное число последовательно расположенных пробелов, после которого начнётся "
      "удаление");

  m_fileFrame = new QGroupBox("Файл", this);
  m_fileFrame->setObjectName("fileGroup");

  m_saveToCaption = new QLabel("Сохранить в:", this);
  m_saveToCaption->setObjectName("saveToLabel");

  const auto list = [this](const char* name, const char* first, const char* second) {
    auto* combo = new QComboBox(this);
    combo->setObjectName(name);
    combo->addItems({first, second});
    return combo;
  };
  m_saveTo = list("saveToCombo", "новом файле", "существующем");

  m_addCaption = new QLabel("Добавить:", this);
  m_addCaption->setObjectName("addLabel");
  m_add = list("addCombo", "в конец файла", "произвольно");

  m_howCaption = new QLabel("Как добавить данные:", this);
  m_howCaption->setObjectName("howLabel");
  m_how = list("howCombo", "вставить", "заменить");

  m_startAddress = new QLineEdit(this);
  m_startAddress->setObjectName("startAddressEdit");
  m_startAddress->setMaxLength(8);
  m_startAddress->setValidator(
      new QRegularExpressionValidator(QRegularExpression("[0-9]*"), m_startAddress));

  m_startAddressCaption = new QLabel("Начальный адрес", this);
  m_startAddressCaption->setObjectName("startAddressLabel");

  m_formatFrame = new QGroupBox("Формат файла", this);
  m_formatFrame->setObjectName("formatGroup");

  m_fileTypeCaption = new QLabel("Тип файла:", this);
  m_fileTypeCaption->setObjectName("fileTypeLabel");
  m_fileType = list("fileTypeCombo", "BIN", "Intel HEX");

  m_layoutCaption = new QLabel("Размещение данных в HEX:", this);
  m_layoutCaption->setObjectName("layoutLabel");
  m_layout = new QComboBox(this);
  m_layout->setObjectName("layoutCombo");
  for (const HexLayout layout : kHexLayouts) {
    const std::string_view title = HexLayoutTitle(layout);
    m_layout->addItem(QString::fromUtf8(title.data(), static_cast<qsizetype>(title.size())));
  }

  m_recordLengthCaption = new QLabel("Байт данных в записи HEX:", this);
  m_recordLengthCaption->setObjectName("recordLengthLabel");
  m_recordLength = list("recordLengthCombo", "16", "32");

  m_chipCaption = new QLabel("Дополнить до размера микросхемы:", this);
  m_chipCaption->setObjectName("chipLabel");
  m_chip = new QComboBox(this);
  m_chip->setObjectName("chipCombo");
  m_chip->setToolTip(
      "Новый образ дополняется байтами 0xFF до размера микросхемы; "
      "образ, который в неё не помещается, не записывается");
  m_chip->addItem("нет");
  for (const EepromChip& chip : kEepromChips) m_chip->addItem(ChipCaption(chip));
  m_chip->setMaxVisibleItems(static_cast<int>(kEepromChips.size()) + 1);

  LayOutControls();
  // Enter converts whichever of these has the focus.
  m_browse->setAutoDefault(false);
  m_cancel->setAutoDefault(false);

  connect(m_browse, &QPushButton::clicked, this, &BinDialog::Browse);
  connect(m_convert, &QPushButton::clicked, this, &BinDialog::Convert);
  connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);
}

// The one place of every control, in the window's pixels; then the captions
// and the number field are fitted to their places.
void BinDialog::LayOutControls() {
  PlaceControls({
      {m_fileFrame, {10, 10, 365, 145}},
      {m_pathCaption, {20, 30, 105, 15}},
      {m_path, {20, 45, 300, 20}},
      {m_browse, {330, 45, 35, 20}},
      {m_saveToCaption, {20, 75, 65, 15}},
      {m_addCaption, {145, 75, 65, 15}},
      {m_howCaption, {250, 75, 120, 15}},
      {m_saveTo, {20, 90, 110, 0}},
      {m_add, {136, 90, 108, 0}},
      {m_how, {250, 90, 110, 0}},
      {m_startAddress, {20, 125, 60, 20}},
      {m_startAddressCaption, {85, 130, 105, 15}},
      {m_optionsFrame, {25, 170, 320, 90}},
      {m_removeUndisplayable, {35, 185, 210, 15}},
      {m_removeSpaces, {35, 205, 180, 15}},
      {m_spaceCount, {35, 230, 35, 20}},
      {m_spaceCountCaption, {80, 235, 260, 15}},
      {m_convert, {25, 270, 100, 25}},
      {m_cancel, {265, 270, 80, 25}},
      {m_formatFrame, {385, 10, 190, 250}},
      {m_fileTypeCaption, {395, 30, 170, 15}},
      {m_fileType, {395, 45, 170, 0}},
      {m_layoutCaption, {395, 80, 170, 15}},
      {m_layout, {395, 95, 170, 0}},
      {m_recordLengthCaption, {395, 130, 170, 15}},
      {m_recordLength, {395, 145, 60, 0}},
      {m_chipCaption, {395, 180, 175, 15}},
      {m_chip, {395, 195, 170, 0}},
  });
  FitNumberField(m_spaceCount);
  for (QWidget* control : std::initializer_list<QWidget*>{
           m_pathCaption, m_removeUndisplayable, m_removeSpaces, m_spaceCountCaption,
           m_saveToCaption, m_addCaption, m_howCaption, m_startAddressCaption, m_fileTypeCaption,
           m_layoutCaption, m_recordLengthCaption, m_chipCaption}) {
    FitText(control);
  }
  // The frames are drawn under the controls inside them and never take their clicks.
  for (QGroupBox* frame : {m_optionsFrame, m_fileFrame, m_formatFrame}) {
    FrameThroughTitle(frame);
    frame->lower();
    frame->setAttribute(Qt::WA_TransparentForMouseEvents);
  }
}

void BinDialog::SetInitialStates() {
  m_removeUndisplayable->setChecked(m_options.DelErrSunmol == 1);
  m_removeSpaces->setChecked(m_options.DelSpace == 1);
  m_spaceCount->setValue(
      m_options.CountSpace >= 1 && m_options.CountSpace <= 100 ? m_options.CountSpace : 2);
  m_saveTo->setCurrentIndex(Choice(m_options.SaveFile));
  m_add->setCurrentIndex(Choice(m_options.AddFile));
  m_how->setCurrentIndex(Choice(m_options.AsAddFile));
  m_startAddress->setText(m_options.StartAddress >= 0 && m_options.StartAddress <= kMaxStartAddress
                              ? QString::number(m_options.StartAddress)
                              : QString("0"));
}

void BinDialog::ConnectControls() {
  connect(m_removeUndisplayable, &QCheckBox::toggled, this,
          [this](bool checked) { m_options.DelErrSunmol = checked ? 1 : 0; });
  connect(m_removeSpaces, &QCheckBox::toggled, this, [this](bool checked) {
    m_options.DelSpace = checked ? 1 : 0;
    ApplyEnableRules();
  });
  connect(m_spaceCount, &QSpinBox::valueChanged, this,
          [this](int value) { m_options.CountSpace = value; });
  connect(m_saveTo, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_options.SaveFile = index;
    ApplyEnableRules();
  });
  connect(m_add, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_options.AddFile = index;
    ApplyEnableRules();
  });
  connect(m_how, &QComboBox::currentIndexChanged, this,
          [this](int index) { m_options.AsAddFile = index; });
  connect(m_startAddress, &QLineEdit::textChanged, this, [this](const QString& text) {
    // At most 8 digits, so the value always fits.
    m_options.StartAddress = static_cast<std::int32_t>(ParseStartAddress(text.toStdString()));
  });
  connect(m_fileType, &QComboBox::currentIndexChanged, this, [this] { ApplyEnableRules(); });
}

void BinDialog::ApplyEnableRules() {
  const bool spaces = m_removeSpaces->isChecked();
  m_spaceCountCaption->setEnabled(spaces);
  m_spaceCount->setEnabled(spaces);
  const bool existing = m_saveTo->currentIndex() == kBinExistingFile;
  m_add->setEnabled(existing);
  const bool atAddress = existing && m_add->currentIndex() == kBinAtAddress;
  m_how->setEnabled(atAddress);
  // A new Intel HEX file's data start at the start address too.
  const bool hex = m_fileType->currentIndex() == 1;
  m_startAddress->setEnabled(atAddress || (hex && !existing));
  m_startAddressCaption->setEnabled(m_startAddress->isEnabled());
  for (QWidget* control : std::initializer_list<QWidget*>{m_layoutCaption, m_layout,
                                                          m_recordLengthCaption, m_recordLength}) {
    control->setEnabled(hex);
  }
}

ImageFormat BinDialog::Format() const {
  ImageFormat format;
  format.file = kFileTypes[m_fileType->currentIndex() == 1 ? 1 : 0];
  format.layout = kHexLayouts[static_cast<std::size_t>(std::max(0, m_layout->currentIndex()))];
  format.recordLength = m_recordLength->currentIndex() == 1 ? 32 : 16;
  if (const int chip = m_chip->currentIndex(); chip > 0) {
    format.chip = kEepromChips[static_cast<std::size_t>(chip - 1)];
  }
  return format;
}

void BinDialog::Open(QWidget* over) {
  if (over != nullptr) move(CentredOver(over->frameGeometry(), size()));
  BringToFront(this);
}

void BinDialog::Browse() {
  FileRequest request;
  request.mode = FileRequest::Mode::Save;
  const bool hex = m_fileType->currentIndex() == 1;
  const FileFilter bin{"Двоичные файлы (*.bin)", "*.bin"};
  const FileFilter ihex{"Файлы Intel HEX (*.hex *.ihx)", "*.hex *.ihx"};
  // The chosen type's files come first, and the requester shows them.
  request.filters = {hex ? ihex : bin, hex ? bin : ihex, {"Все файлы", "*.*"}};
  const std::optional<std::string> chosen = m_requester.Choose(request);
  if (!chosen) return;
  m_chosenPath = CompleteExtension(*chosen, hex ? ".hex" : ".bin");
  if (ImageFileFormatOfPath(m_chosenPath) == ImageFileFormat::IntelHex) {
    m_fileType->setCurrentIndex(1);
  } else if (QFileInfo(QString::fromStdString(m_chosenPath))
                 .suffix()
                 .compare("bin", Qt::CaseInsensitive) == 0) {
    m_fileType->setCurrentIndex(0);
  }
  // A byte of a name that is not UTF-8 shows as U+FFFD; the file keeps its name.
  m_path->setText(QString::fromStdString(m_chosenPath));
}

void BinDialog::Convert() {
  // Whatever the outcome, the dialog stays open for another run.
  const std::string& path = m_chosenPath;
  if (const std::optional<CgramSetup> cgram = m_cgramSource()) {
    // Records keep every cell where the screen shows it: the cleaning
    // options do not apply.
    std::vector<CgramReport> overflows;
    const Result<std::string> records =
        PrepareCgramRecords(path, m_sourceText(), *cgram, &overflows);
    if (!records) {
      m_prompter.Show(records.Reason());
      return;
    }
    const Status written = WriteCgramRecords(path, *records, cgram->geometry, Format(),
                                             static_cast<BinTarget>(m_saveTo->currentIndex()),
                                             static_cast<BinPlacement>(m_add->currentIndex()),
                                             static_cast<BinManner>(m_how->currentIndex()),
                                             m_startAddress->text().toStdString(), m_prompter);
    ShowOutcome(m_prompter, written);
    if (written && !overflows.empty())
      ShowInformation(m_prompter, "Преобразование", CgramOverflowText(overflows));
    return;
  }
  const CharacterMap map = m_displayMap();
  const Result<EngineText> text =
      PrepareBinText(path, m_sourceText(), m_removeUndisplayable->isChecked(),
                     m_removeSpaces->isChecked(), m_spaceCount->value(), map);
  if (!text) {
    m_prompter.Show(text.Reason());
    return;
  }
  // The lists hold their choices in the order of the enums.
  ShowOutcome(m_prompter, WriteImageBlock(path, MapToLcdCodes(*text, map), Format(),
                                          static_cast<BinTarget>(m_saveTo->currentIndex()),
                                          static_cast<BinPlacement>(m_add->currentIndex()),
                                          static_cast<BinManner>(m_how->currentIndex()),
                                          m_startAddress->text().toStdString(), m_prompter));
}

void BinDialog::keyPressEvent(QKeyEvent* event) {
  // Every control passes Enter on to the window, which converts, and Escape,
  // which closes it as "Отмена" does (an open list takes its Escape itself).
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    Convert();
    return;
  }
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void BinDialog::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

}  // namespace zeltrix
