#include "gui/profiles/profile_window.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QValidator>
#include <algorithm>

#include "core/io/file_io.h"
#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
#include "core/io/text_file.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_exchange.h"
#include "core/settings/settings_file.h"
#include "gui/profiles/format_preview.h"
#include "gui/profiles/import_window.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/owned_window.h"
#include "gui/support/qt_text.h"
#include "gui/support/rom_captions.h"
#include "gui/support/window_placement.h"

namespace zeltrix {
namespace {

// The ROM controls stand below the others, at the foot of the frame, which
// grows by this much and the window with it.
constexpr int kRomRows = 68;
// The custom characters' controls stand below the ROM's, and the frame and
// the window grow by this much more.
constexpr int kCgramRows = 50;

// The slot codes list: its rows in the order of their CgramCodes.
constexpr int kSlotCodesLow = 0;   // 0x00-0x07
constexpr int kSlotCodesHigh = 1;  // 0x08-0x0F, the default

QString SizeCaption(LcdGeometry geometry) {
  return QString("%1×%2").arg(geometry.columns).arg(geometry.rows);
}

int RowOfSize(LcdGeometry geometry) {
  const auto* found = std::find(kLcdGeometries.begin(), kLcdGeometries.end(), geometry);
  return found == kLcdGeometries.end() ? -1 : static_cast<int>(found - kLcdGeometries.begin());
}

const QColor kBlack(0, 0, 0);
const QColor kBlue(38, 4, 190);
const QColor kRed(207, 2, 2);

/**
 * Lets into a text field only characters that Windows-1251 can hold, so that
 * nothing typed is lost when the profile is saved; a name also refuses "]",
 * which would end its group header early.
 */
class Cp1251Validator : public QValidator {
 public:
  Cp1251Validator(bool name, QObject* parent) : QValidator(parent), m_name(name) {}
  State validate(QString& input, int&) const override {
    for (const char32_t c : input.toUcs4()) {
      if (c == 0x1A || CodePointToCp1251(c) == kSubstituteByte) return Invalid;
      if (m_name && c == U']') return Invalid;
    }
    return Acceptable;
  }

 private:
  bool m_name;
};

}  // namespace

ProfileWindow::ProfileWindow(QWidget* owner, std::string databasePath,
                             const std::vector<std::string>& names, int selected,
                             ProfileRecord& buffer, Prompter& prompter, FileRequester& requester,
                             ProfileListReporter& reports)
    // No parent widget: a disabled owner would disable its child windows too.
    : QWidget(nullptr, Qt::Dialog),
      m_owner(owner),
      m_databasePath(std::move(databasePath)),
      m_buffer(buffer),
      m_prompter(prompter),
      m_requester(requester),
      m_reports(reports) {
  setObjectName("profileWindow");
  setWindowTitle("Управление профилями");
  setFixedSize(281, 552 + kRomRows + kCgramRows);
  setFont(FixedLayoutFont());
  // Only the window it was opened from waits; an open BIN dialog stays usable.
  setWindowModality(Qt::WindowModal);

  BuildList();
  BuildEditor();
  LayOutControls();
  DisableEditor();
  // The names are those the owner read from the database just now.
  m_listed = StampOf(m_databasePath);
  FillList(names);
  if (selected >= 0 && selected < m_list->count()) m_list->setCurrentRow(selected);
  ConnectEditor();

  ShowOver(this, owner);
  m_list->setFocus();
  if (owner != nullptr) owner->setEnabled(false);
}

// The window goes with its owner, which then needs no enabling.
ProfileWindow::~ProfileWindow() = default;

void ProfileWindow::BuildList() {
  m_listCaption = new QLabel("Профили", this);
  m_list = new QListWidget(this);
  m_list->setObjectName("profileList");
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);

  const auto button = [this](const char* name, const char* text, const char* tip) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    b->setToolTip(tip);
    return b;
  };
  m_import = button("importButton", "Загрузить", "Загрузить профили из файла");
  m_export = button("exportButton", "Сохранить", "Сохранить выделенные профили в файле");
  m_new = button("newButton", "Новый", "Создать новый профиль");
  m_edit = button("editButton", "Изменить", "Изменить данные в выбранном профиле");
  m_delete = button("deleteButton", "Удалить", "Удалить выделенные профили");

  connect(m_import, &QPushButton::clicked, this, &ProfileWindow::ImportFromFile);
  connect(m_export, &QPushButton::clicked, this, &ProfileWindow::ExportSelected);
  connect(m_new, &QPushButton::clicked, this, &ProfileWindow::NewProfile);
  connect(m_edit, &QPushButton::clicked, this, &ProfileWindow::EditProfile);
  connect(m_delete, &QPushButton::clicked, this, &ProfileWindow::DeleteSelected);
  connect(m_list, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    m_list->setCurrentItem(item, QItemSelectionModel::NoUpdate);
    EditProfile();
  });
}

void ProfileWindow::BuildEditor() {
  // The editor's controls are children of its frame, created in the order of the Tab key.
  m_frame = new QFrame(this);
  m_frame->setObjectName("editorFrame");
  m_frame->setFrameStyle(QFrame::Box | QFrame::Sunken);

  const auto label = [this](const char* text) { return new QLabel(text, m_frame); };
  const auto check = [this](const char* name, const char* text, const char* tip) {
    auto* c = new QCheckBox(text, m_frame);
    c->setObjectName(name);
    if (tip != nullptr) c->setToolTip(tip);
    return c;
  };
  const auto spin = [this](const char* name, const char* tip, int min, int max) {
    auto* s = new QSpinBox(m_frame);
    s->setObjectName(name);
    if (tip != nullptr) s->setToolTip(tip);
    s->setRange(min, max);
    return s;
  };
  const auto field = [&](QLabel*& caption, const char* name, const char* text) {
    caption = label(text);
    auto* e = new QLineEdit(m_frame);
    e->setObjectName(name);
    e->setValidator(new Cp1251Validator(false, e));
    return e;
  };

  m_nameCaption = label("Имя профиля:");
  m_name = new QLineEdit(m_frame);
  m_name->setObjectName("nameEdit");
  m_name->setValidator(new Cp1251Validator(true, m_name));

  m_deleteSumbolError = check("deleteSumbolErrorCheck", "Удалять неотображаемые символы",
                              "Удалить символы, которые индикатор не способен отобразить");
  m_deleteSpace = check("deleteSpaceCheck", "Удалять «ненужные» пробелы",
                        "Удаление последовательно расположенных пробелов");
  m_countSpace = spin("countSpaceSpin",
                      "Максимальное число последовательно расположенных пробелов, после "
                      "которого начнётся удаление",
                      1, 100);

  m_ost1Caption = label("Отступ 1:");
  m_ost1 = spin("ost1Spin", "Длина отступа от начала строки, до директивы", 0, 30);
  m_ost2Caption = label("Отступ 2:");
  m_ost2 = spin("ost2Spin", "Длина отступа от директивы, до блока данных", 0, 30);

  m_directive = field(m_directiveCaption, "directiveEdit", "Директива:");
  m_startDataBlok = field(m_startDataBlokCaption, "startDataBlokEdit", "Начало блока данных:");
  m_endDataBlok = field(m_endDataBlokCaption, "endDataBlokEdit", "Конец блока данных:");
  m_startData = field(m_startDataCaption, "startDataEdit", "Начало данных:");

  m_baseCaption = label("Система исчисления:");
  m_base = new QComboBox(m_frame);
  m_base->setObjectName("baseCombo");
  m_base->addItems({"двоичная", "десятичная", "шестнадцатиричная"});

  m_endData = field(m_endDataCaption, "endDataEdit", "Окончание  данных:");
  m_razdelitelData = field(m_razdelitelDataCaption, "razdelitelDataEdit", "Разделитель данных:");
  m_comment = field(m_commentCaption, "commentEdit", "Начало комментария:");
  m_commentState = check("commentStateCheck", "Конвертируемый  текст в комментарий", nullptr);

  m_countByteCaption = label("Число байт в строке:");
  m_countByte = spin("countByteSpin", nullptr, 0, 1024);
  m_perenosPoSlovam = check("perenosPoSlovamCheck", "Перенос...", "Перенос по словам");

  m_formatCaption = label("Текущий формат:");
  m_formatCaption->setObjectName("formatLabel");
  SetTextColour(m_formatCaption, QColor(78, 4, 150));
  m_countByteToComment = check("countByteToCommentCheck", "Сообщить число байт..",
                               "Добавить в комментарий сведения о числе байт в строке");

  m_sample = new QPlainTextEdit(m_frame);
  m_sample->setObjectName("sampleBox");
  m_sample->setFont(QFont("Lucida Console", 8));
  m_sample->setLineWrapMode(QPlainTextEdit::NoWrap);

  m_ok = new QPushButton("Ок", m_frame);
  m_ok->setObjectName("okButton");
  m_cancel = new QPushButton("Отмена", m_frame);
  m_cancel->setObjectName("cancelButton");

  m_romCaption = label("Знакогенератор:");
  m_romCaption->setObjectName("romLabel");
  m_rom = new QComboBox(m_frame);
  m_rom->setObjectName("romCombo");
  m_rom->setToolTip("Набор знаков, зашитый в индикатор");
  AddRomItems(m_rom);
  m_lookAlikes = check("lookAlikesCheck", "Заменять отсутствующие знаки похожими",
                       "Знак, которого нет в знакогенераторе, выводить похожим на него знаком "
                       "(русскую А — латинской A)");

  m_cgram = check("cgramCheck", "Свои знаки (CGRAM)",
                  "Знаки, которых нет в знакогенераторе, выводить своими знаками, "
                  "загружаемыми в индикатор (до 8 на экран)");
  m_cgramCodes = new QComboBox(m_frame);
  m_cgramCodes->setObjectName("cgramCodesCombo");
  m_cgramCodes->setToolTip("Коды своих знаков в тексте");
  m_cgramCodes->addItems({"0x00–0x07", "0x08–0x0F"});
  m_sizeCaption = label("Размер экрана:");
  m_sizeCaption->setObjectName("sizeLabel");
  m_size = new QComboBox(m_frame);
  m_size->setObjectName("sizeCombo");
  m_size->setToolTip("Размер индикатора: по нему текст делится на экраны");
  for (const LcdGeometry& geometry : kLcdGeometries) m_size->addItem(SizeCaption(geometry));

  // The initial state of a newly opened window.
  m_ost1->setValue(2);
  m_ost2->setValue(2);
  m_countSpace->setValue(2);
  m_base->setCurrentIndex(kHexadecimal);
  m_cgramCodes->setCurrentIndex(kSlotCodesHigh);
  m_size->setCurrentIndex(RowOfSize(kDefaultLcdGeometry));
}

void ProfileWindow::LayOutControls() {
  // The editor's controls stand in the frame, their places given in the
  // window's coordinates as the rest.
  PlaceControls({
      {m_listCaption, {10, 2, 55, 15}},
      {m_list, {10, 17, 175, 118}},
      {m_import, {200, 5, 70, 25}},
      {m_export, {200, 30, 70, 25}},
      {m_new, {200, 60, 70, 25}},
      {m_edit, {200, 85, 70, 25}},
      {m_delete, {200, 110, 70, 25}},
      {m_frame, {10, 144, 260, 400 + kRomRows + kCgramRows}},
      {m_nameCaption, {20, 154, 78, 16}},
      {m_name, {100, 150, 158, 20}},
      {m_deleteSumbolError, {20, 172, 210, 17}},
      {m_deleteSpace, {20, 188, 190, 17}},
      {m_countSpace, {210, 188, 34, 20}},
      {m_ost1Caption, {20, 215, 55, 16}},
      {m_ost1, {75, 210, 34, 20}},
      {m_ost2Caption, {150, 215, 60, 16}},
      {m_ost2, {210, 210, 34, 20}},
      {m_directiveCaption, {20, 240, 152, 16}},
      {m_directive, {174, 235, 70, 20}},
      {m_startDataBlokCaption, {20, 260, 152, 16}},
      {m_startDataBlok, {174, 255, 70, 20}},
      {m_endDataBlokCaption, {20, 280, 152, 16}},
      {m_endDataBlok, {174, 275, 70, 20}},
      {m_startDataCaption, {20, 300, 152, 16}},
      {m_startData, {174, 295, 70, 20}},
      {m_baseCaption, {20, 320, 116, 16}},
      {m_base, {136, 315, 128, 21}},
      {m_endDataCaption, {20, 340, 152, 16}},
      {m_endData, {174, 336, 70, 20}},
      {m_razdelitelDataCaption, {20, 360, 152, 16}},
      {m_razdelitelData, {174, 356, 70, 20}},
      {m_commentCaption, {20, 380, 152, 16}},
      {m_comment, {174, 376, 70, 20}},
      {m_commentState, {20, 396, 230, 17}},
      {m_countByteCaption, {20, 414, 112, 16}},
      {m_countByte, {132, 412, 40, 20}},
      {m_perenosPoSlovam, {180, 414, 80, 17}},
      {m_formatCaption, {16, 434, 95, 16}},
      {m_countByteToComment, {132, 434, 134, 17}},
      {m_sample, {16, 450, 245, 58}},
      {m_ok, {30, 514, 75, 25}},
      {m_cancel, {165, 514, 65, 25}},
      // The ROM's controls, then those of the custom characters.
      {m_romCaption, {20, 548, 120, 16}},
      {m_rom, {20, 565, 244, 21}},
      {m_lookAlikes, {20, 590, 244, 17}},
      {m_cgram, {20, 614, 136, 17}},
      {m_cgramCodes, {164, 612, 100, 21}},
      {m_sizeCaption, {20, 640, 120, 16}},
      {m_size, {164, 637, 100, 21}},
  });
  for (QSpinBox* s : {m_countSpace, m_ost1, m_ost2, m_countByte}) FitNumberField(s);
  for (QWidget* w : m_frame->findChildren<QWidget*>()) {
    if (qobject_cast<QLabel*>(w) != nullptr || qobject_cast<QCheckBox*>(w) != nullptr) FitText(w);
  }
}

void ProfileWindow::ConnectEditor() {
  // Reactions to the user; the program's own filling of the editor is not one.
  const auto guarded = [this](auto reaction) {
    return [this, reaction](auto&&...) {
      if (!m_updating && m_mode != Mode::Idle) reaction();
    };
  };
  const auto refresh = [this] { RefreshSample(); };

  connect(m_name, &QLineEdit::textChanged, this, guarded([this] { UpdateNameColour(); }));
  for (QSpinBox* s : {m_ost1, m_ost2}) connect(s, &QSpinBox::valueChanged, this, guarded(refresh));
  for (QLineEdit* e :
       {m_directive, m_startDataBlok, m_endDataBlok, m_startData, m_endData, m_razdelitelData}) {
    connect(e, &QLineEdit::textChanged, this, guarded(refresh));
  }
  connect(m_comment, &QLineEdit::textChanged, this, guarded([this] {
            const bool hasComment = !m_comment->text().isEmpty();
            m_commentState->setEnabled(hasComment);
            m_countByteToComment->setEnabled(hasComment);
            RefreshSample();
          }));
  connect(m_countByte, &QSpinBox::valueChanged, this, guarded([this] {
            m_perenosPoSlovam->setEnabled(m_countByte->value() != 0);
            RefreshSample();
          }));
  connect(m_base, &QComboBox::currentIndexChanged, this, guarded(refresh));
  for (QCheckBox* c :
       {m_commentState, m_perenosPoSlovam, m_countByteToComment, m_deleteSumbolError})
    connect(c, &QCheckBox::toggled, this, guarded(refresh));
  connect(m_countSpace, &QSpinBox::valueChanged, this, guarded(refresh));
  connect(m_deleteSpace, &QCheckBox::toggled, this, guarded([this] {
            RefreshSample();
            m_countSpace->setEnabled(m_deleteSpace->isChecked());
          }));
  connect(m_rom, &QComboBox::currentIndexChanged, this, guarded([this] {
            m_lookAlikes->setEnabled(RomOfRow(m_rom->currentIndex()) != CharacterRom::Cyrillic);
            RefreshSample();
          }));
  connect(m_lookAlikes, &QCheckBox::toggled, this, guarded(refresh));
  connect(m_cgram, &QCheckBox::toggled, this, guarded([this] {
            ApplyEnablingRules();
            RefreshSample();
          }));
  connect(m_cgramCodes, &QComboBox::currentIndexChanged, this, guarded(refresh));
  connect(m_size, &QComboBox::currentIndexChanged, this, guarded(refresh));

  connect(m_ok, &QPushButton::clicked, this, &ProfileWindow::Accept);
  connect(m_cancel, &QPushButton::clicked, this, &ProfileWindow::CancelEdit);
}

// The profile list.

void ProfileWindow::FillList(const std::vector<std::string>& names) {
  m_list->clear();
  // The rows go in at once: one by one, 100,000 names take seconds.
  QStringList texts;
  texts.reserve(static_cast<qsizetype>(names.size()));
  std::vector<const std::string*> kept;
  kept.reserve(names.size());
  for (const std::string& name : names) {
    if (name.empty()) continue;
    texts.append(FromCp1251(name));
    kept.push_back(&name);
  }
  m_list->addItems(texts);
  for (int row = 0; row < m_list->count(); ++row) {
    m_list->item(row)->setData(Qt::UserRole,
                               QByteArray::fromStdString(*kept[static_cast<std::size_t>(row)]));
  }
}

void ProfileWindow::RefillList() {
  m_listed = StampOf(m_databasePath);
  const ProfileListRead listed = ReadProfileList(m_databasePath);
  m_untold.reset();
  if (const auto message = m_reports.Untold(m_databasePath, listed)) m_prompter.Show(*message);
  if (listed) FillList(listed->names);
  if (m_list->count() > 0) m_list->setCurrentRow(0);
}

// Another program (zeltrix-cli, another window) may have changed the
// database since the list was read: then the list is read again, keeping
// the selected and the current profile, so that names are checked against
// what the file holds and nothing the other program wrote is overwritten.
// A quiet refresh (while the user types a name) keeps what it found wrong
// for the next one that may tell it.
void ProfileWindow::RefreshList(bool tell) {
  const FileStamp now = StampOf(m_databasePath);
  if (now != m_listed) {
    m_listed = now;
    ProfileListRead listed = ReadProfileList(m_databasePath);
    if (listed) {
      RefillKeepingChoice(listed->names);
      listed->names.clear();
    }
    m_untold = std::move(listed);
  }
  if (tell && m_untold) {
    const ProfileListRead untold = std::move(*m_untold);
    m_untold.reset();
    if (const auto message = m_reports.Untold(m_databasePath, untold)) m_prompter.Show(*message);
  }
}

void ProfileWindow::RefillKeepingChoice(const std::vector<std::string>& names) {
  const std::string current = ItemName(m_list->currentRow());
  std::vector<std::string> selected;
  for (int row = 0; row < m_list->count(); ++row) {
    if (m_list->item(row)->isSelected()) selected.push_back(ItemName(row));
  }
  // The profile being edited stays the current item: it is the one the
  // checks of its new name leave out.
  const std::string keep = m_mode == Mode::Edit ? m_oldName : current;
  FillList(names);
  int currentRow = -1;
  for (int row = 0; row < m_list->count(); ++row) {
    const std::string name = ItemName(row);
    if (currentRow < 0 && name == keep) currentRow = row;
  }
  m_list->setCurrentRow(currentRow, QItemSelectionModel::NoUpdate);
  for (int row = 0; row < m_list->count(); ++row) {
    const bool wasSelected =
        std::find(selected.begin(), selected.end(), ItemName(row)) != selected.end();
    m_list->item(row)->setSelected(wasSelected);
  }
}

void ProfileWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_open) RefreshList();
}

std::string ProfileWindow::ItemName(int row) const {
  const QListWidgetItem* item = m_list->item(row);
  return item == nullptr ? std::string() : item->data(Qt::UserRole).toByteArray().toStdString();
}

std::vector<std::string> ProfileWindow::ListNames() const {
  std::vector<std::string> names;
  for (int row = 0; row < m_list->count(); ++row) names.push_back(ItemName(row));
  return names;
}

void ProfileWindow::SetListEnabled(bool enabled) {
  for (QWidget* w :
       std::initializer_list<QWidget*>{m_list, m_new, m_edit, m_delete, m_import, m_export}) {
    w->setEnabled(enabled);
  }
}

bool ProfileWindow::RepeatsListName(const std::string& name, int skipRow) const {
  for (int row = 0; row < m_list->count(); ++row) {
    if (row != skipRow && SameProfileName(name, ItemName(row))) return true;
  }
  return false;
}

// The profile editor.

void ProfileWindow::DisableEditor() {
  for (QWidget* w : m_frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    w->setEnabled(false);
}

void ProfileWindow::EnableEditor() {
  for (QWidget* w : m_frame->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
    w->setEnabled(true);
  ApplyEnablingRules();
}

void ProfileWindow::ApplyEnablingRules() {
  const bool hasComment = !m_comment->text().isEmpty();
  m_commentState->setEnabled(hasComment);
  m_countByteToComment->setEnabled(hasComment);
  m_perenosPoSlovam->setEnabled(m_countByte->value() != 0);
  m_countSpace->setEnabled(m_deleteSpace->isChecked());
  // The Cyrillic ROM has no look-alikes: the box would change nothing.
  m_lookAlikes->setEnabled(RomOfRow(m_rom->currentIndex()) != CharacterRom::Cyrillic);
  // The slot codes and the screen's size matter to custom characters only.
  m_cgramCodes->setEnabled(m_cgram->isChecked());
  m_size->setEnabled(m_cgram->isChecked());
}

void ProfileWindow::ClearEditor() {
  m_updating = true;
  m_name->clear();
  SetNameColour(kBlack);
  m_ost1->setValue(0);
  m_ost2->setValue(0);
  for (QLineEdit* e : {m_directive, m_startDataBlok, m_endDataBlok, m_startData, m_endData,
                       m_razdelitelData, m_comment}) {
    e->clear();
  }
  m_base->setCurrentIndex(-1);
  for (QCheckBox* c : {m_deleteSumbolError, m_deleteSpace, m_commentState, m_perenosPoSlovam,
                       m_countByteToComment}) {
    c->setChecked(false);
  }
  m_countByte->setValue(0);
  m_sample->clear();
  m_countSpace->setValue(2);
  m_rom->setCurrentIndex(RowOfRom(CharacterRom::Cyrillic));
  m_lookAlikes->setChecked(false);
  m_cgram->setChecked(false);
  m_cgramCodes->setCurrentIndex(kSlotCodesHigh);
  m_size->setCurrentIndex(RowOfSize(kDefaultLcdGeometry));
  m_updating = false;
}

void ProfileWindow::FillEditor(const ProfileRecord& record) {
  m_updating = true;
  m_name->setText(FromCp1251(record.Name));
  m_ost1->setValue(record.Ost1);
  m_ost2->setValue(record.Ost2);
  m_directive->setText(FromCp1251(record.Directive));
  m_startDataBlok->setText(FromCp1251(record.StartDataBlok));
  m_endDataBlok->setText(FromCp1251(record.EndDataBlok));
  m_startData->setText(FromCp1251(record.StartData));
  m_base->setCurrentIndex(record.SI >= 0 && record.SI < m_base->count() ? record.SI : -1);
  m_endData->setText(FromCp1251(record.EndData));
  m_razdelitelData->setText(FromCp1251(record.RazdelitelData));
  m_comment->setText(FromCp1251(record.Comment));
  m_commentState->setChecked(record.CommentState != 0);
  m_countByte->setValue(record.CountByte);
  m_perenosPoSlovam->setChecked(record.PerenosPoSlovam != 0);
  m_countByteToComment->setChecked(record.CountByteToComment != 0);
  m_deleteSumbolError->setChecked(record.DeleteSumbolError != 0);
  m_deleteSpace->setChecked(record.DeleteSpace != 0);
  m_countSpace->setValue(record.CountSpace);
  m_rom->setCurrentIndex(RowOfRom(record.Rom));
  m_lookAlikes->setChecked(record.LookAlikes != 0);
  m_cgram->setChecked(record.Cgram != 0);
  m_cgramCodes->setCurrentIndex(record.CgramCodes == 0 ? kSlotCodesLow : kSlotCodesHigh);
  m_size->setCurrentIndex(RowOfSize(record.Size));
  m_updating = false;
}

ProfileRecord ProfileWindow::ReadEditor() const {
  // Fields the editor does not show keep the values they were loaded with.
  ProfileRecord record = m_mode == Mode::Edit ? m_edited : ProfileRecord();
  record.Preview = 0;
  record.Name = NameText();
  record.Ost1 = m_ost1->value();
  record.Ost2 = m_ost2->value();
  record.Directive = ToCp1251(m_directive->text());
  record.StartDataBlok = ToCp1251(m_startDataBlok->text());
  record.EndDataBlok = ToCp1251(m_endDataBlok->text());
  record.StartData = ToCp1251(m_startData->text());
  record.SI = m_base->currentIndex();
  record.EndData = ToCp1251(m_endData->text());
  record.RazdelitelData = ToCp1251(m_razdelitelData->text());
  record.Comment = ToCp1251(m_comment->text());
  record.CommentState = m_commentState->isChecked() ? 1 : 0;
  record.CountByte = m_countByte->value();
  record.PerenosPoSlovam = m_perenosPoSlovam->isChecked() ? 1 : 0;
  record.CountByteToComment = m_countByteToComment->isChecked() ? 1 : 0;
  record.DeleteSumbolError = m_deleteSumbolError->isChecked() ? 1 : 0;
  record.DeleteSpace = m_deleteSpace->isChecked() ? 1 : 0;
  record.CountSpace = static_cast<std::uint8_t>(m_countSpace->value());
  record.Rom = RomOfRow(m_rom->currentIndex());
  record.LookAlikes = m_lookAlikes->isChecked() ? 1 : 0;
  record.Cgram = m_cgram->isChecked() ? 1 : 0;
  record.CgramCodes = m_cgramCodes->currentIndex() == kSlotCodesLow ? 0 : 8;
  // A size the list does not hold (none the profile reader lets in) stays as loaded.
  if (m_size->currentIndex() >= 0)
    record.Size = kLcdGeometries[static_cast<std::size_t>(m_size->currentIndex())];
  return record;
}

void ProfileWindow::RefreshSample() { ShowFormatPreview(m_sample, ReadEditor()); }

std::string ProfileWindow::NameText() const { return ToCp1251(m_name->text()); }

void ProfileWindow::SetNameColour(const QColor& colour) {
  QPalette palette = m_name->palette();
  palette.setColor(QPalette::Text, colour);
  m_name->setPalette(palette);
}

void ProfileWindow::UpdateNameColour() {
  const std::string name = NameText();
  // An emptied field keeps the colour it had.
  if (name.empty()) return;
  RefreshList(false);
  const bool editing = m_mode == Mode::Edit;
  QColor colour = kBlack;
  if (editing && name != m_oldName) colour = kBlue;
  const bool ownName = editing && name == m_oldName;
  if (!ownName && RepeatsListName(name, editing ? m_list->currentRow() : -1)) colour = kRed;
  SetNameColour(colour);
}

// The buttons.

void ProfileWindow::NewProfile() {
  m_mode = Mode::New;
  m_buffer.Name.clear();
  m_oldName.clear();
  ClearEditor();
  EnableEditor();
  SetListEnabled(false);
  m_updating = true;
  m_base->setCurrentIndex(kHexadecimal);
  m_updating = false;
  RefreshSample();
  m_name->setFocus();
}

void ProfileWindow::EditProfile() {
  const int row = m_list->currentRow();
  const std::string name = ItemName(row);
  if (row < 0 || name.empty()) {
    ShowWarning(m_prompter, "Внимание", "Не выбран профиль!");
    return;
  }
  // A profile that is gone is told, and the editor opens all the same.
  const Result<bool> loaded = LoadProfile(m_databasePath, name, m_buffer);
  if (!loaded) {
    m_prompter.Show(loaded.Reason());
  } else if (!*loaded) {
    ShowError(m_prompter, "Ошибка", "Возникли проблемы при чтении базы данных!");
    return;
  }
  m_mode = Mode::Edit;
  m_oldName = name;
  m_buffer.Name = name;
  m_edited = m_buffer;
  FillEditor(m_buffer);
  SetNameColour(kBlack);
  EnableEditor();
  SetListEnabled(false);
  RefreshSample();
  m_name->setFocus();
}

void ProfileWindow::DeleteSelected() {
  if (m_list->count() == 0 || ItemName(m_list->currentRow()).empty()) {
    ShowWarning(m_prompter, "Удаление профиля", "Не выбран профиль");
    return;
  }
  std::vector<std::string> names;
  for (int row = 0; row < m_list->count(); ++row) {
    if (m_list->item(row)->isSelected()) names.push_back(ItemName(row));
  }
  if (const Status some = CheckProfilesToDelete(names); !some) {
    m_prompter.Show(some.Reason());
    return;
  }
  const Result<bool> deleted = DeleteProfiles(m_databasePath, names, m_prompter);
  if (!deleted) {
    m_prompter.Show(deleted.Reason());
  } else if (!*deleted) {
    return;
  }
  RefillList();
  m_list->setFocus();
}

void ProfileWindow::Accept() {
  std::string name = NameText();
  if (name.empty()) {
    ShowWarning(m_prompter, "", "Не указанно имя профиля.");
    return;
  }
  const auto refuseRepeat = [this] {
    ShowWarning(m_prompter, "Повторное имя", "Пожалуйста, выберите другое имя для профиля.");
  };
  // The names are checked against the database as it is now, and nobody
  // else may change it until this profile is written.
  const FileLock lock(m_databasePath);
  if (!lock.Status()) {
    ShowError(m_prompter, "Ошибка",
              "Не удалось сохранить данные профиля\n" + AsSentence(lock.Status().Reason()));
    return;
  }
  RefreshList();
  bool renamed = false;
  if (m_mode == Mode::New && RepeatsListName(name, -1)) {
    refuseRepeat();
    return;
  }
  if (m_mode == Mode::Edit && name != m_oldName && !m_oldName.empty()) {
    if (RepeatsListName(name, m_list->currentRow())) {
      refuseRepeat();
      return;
    }
    // After a failed rename the profile keeps its old name.
    const Status renaming = RenameProfile(m_databasePath, m_oldName, name);
    renamed = renaming.Ok();
    if (!renamed) {
      m_prompter.Show(renaming.Reason());
      name = m_oldName;
    }
  }
  m_buffer = ReadEditor();
  m_buffer.Name = name;
  if (const Status saved = SaveProfile(m_databasePath, name, m_buffer); !saved) {
    m_prompter.Show(saved.Reason());
    // The edit stays open so that nothing typed is lost; a rename already
    // made stands, and the edit goes on under the new name.
    if (renamed) {
      m_mode = Mode::Edit;
      m_oldName = name;
      if (QListWidgetItem* item = m_list->currentItem()) {
        item->setText(FromCp1251(name));
        item->setData(Qt::UserRole, QByteArray::fromStdString(name));
      }
      UpdateNameColour();
    }
    return;
  }
  EndEdit();
  RefillList();
}

void ProfileWindow::CancelEdit() { EndEdit(); }

void ProfileWindow::EndEdit() {
  SetListEnabled(true);
  ClearEditor();
  DisableEditor();
  m_mode = Mode::Idle;
  m_oldName.clear();
  m_list->setFocus();
}

// Export and import.

namespace {

FileRequest ProfileFileRequest(FileRequest::Mode mode, const char* title) {
  FileRequest request;
  request.mode = mode;
  request.title = title;
  request.filters = {{"Файлы профилей", "*.prof"}, {"Все файлы", "*.*"}};
  return request;
}

}  // namespace

void ProfileWindow::ExportSelected() {
  const auto chosen =
      m_requester.Choose(ProfileFileRequest(FileRequest::Mode::Save, "Сохранить файл профиля..."));
  if (!chosen) return;
  const std::string path = CompleteExtension(*chosen, kProfileFileExtension);
  if (IsProfileDatabase(path, m_databasePath)) {
    ShowWarning(m_prompter, "Ошибка", "Нет доступа к файлу\n" + path);
    return;
  }
  std::vector<std::string> names;
  for (int row = 0; row < m_list->count(); ++row) {
    if (m_list->item(row)->isSelected()) names.push_back(ItemName(row));
  }
  std::vector<NamedProfile> profiles;
  SettingsFile database;
  if (FileExists(m_databasePath) && database.Open(m_databasePath)) {
    NamedProfilesRead read = LoadNamedProfiles(database, names);
    for (const Message& missing : read.missing) m_prompter.Show(missing);
    profiles = std::move(read.profiles);
  }
  database.Close();
  if (profiles.empty()) return;
  if (const FileStatus written = WriteProfileFile(path, profiles); !written) {
    ShowError(m_prompter, "Ошибка",
              "Не удалось создать файл\n" + path +
                  (written.IsBusy() ? "\n" + AsSentence(written.Reason()) : std::string()));
  }
  m_list->setFocus();
}

void ProfileWindow::ImportFromFile() {
  const auto chosen =
      m_requester.Choose(ProfileFileRequest(FileRequest::Mode::Open, "Открыть файл профиля..."));
  if (!chosen) return;
  const std::string& path = *chosen;
  if (!IsNonEmptyRegularFile(path)) return;
  if (IsProfileDatabase(path, m_databasePath)) {
    ShowWarning(m_prompter, "Ошибка", "Нет доступа к файлу\n" + path);
    return;
  }
  // A file that is not text the program reads opens no window; names it
  // could not read are told before it opens.
  const ProfileListRead offered = ReadProfileList(path);
  if (const auto message = ProfileListMessage(path, offered)) m_prompter.Show(*message);
  if (!offered && !offered.Reason().refusal.empty()) return;
  // The names are checked against the database as it is now.
  RefreshList();
  m_importWindow =
      std::make_unique<ImportWindow>(this, path, m_databasePath, ListNames(), m_prompter);
  connect(m_importWindow.get(), &ImportWindow::imported, this, &ProfileWindow::RefillList);
  connect(m_importWindow.get(), &ImportWindow::closed, this, [this] {
    if (!m_open) return;
    activateWindow();
    m_list->setFocus();
  });
  ReleaseWhenClosed(this, m_importWindow);
}

void ProfileWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!m_open) return;
  m_open = false;
  if (m_importWindow) m_importWindow->close();
  const int index = m_list->currentRow();
  // An open edit is dropped: nothing of it is saved.
  m_mode = Mode::Idle;
  if (m_owner) m_owner->setEnabled(true);
  emit closed(index);
}

}  // namespace zeltrix
