#include "gui/profiles/import_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStatusBar>
#include <QTableWidget>

#include "core/io/file_io.h"
#include "core/io/file_lock.h"
#include "core/io/single_byte_codec.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_exchange.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/qt_text.h"
#include "gui/support/window_placement.h"

namespace zeltrix {
namespace {

const QColor kRepeatedName(253, 2, 2);

}  // namespace

ImportWindow::ImportWindow(QWidget* owner, std::string path, std::string databasePath,
                           const std::vector<std::string>& existingNames, Prompter& prompter)
    // No parent widget: a disabled owner would disable its child windows too.
    : QWidget(nullptr, Qt::Dialog),
      m_owner(owner),
      m_path(std::move(path)),
      m_databasePath(std::move(databasePath)),
      m_existing(LoweredNames(existingNames)),
      // The names are the owner's list, read from the database just now.
      m_listed(StampOf(m_databasePath)),
      m_prompter(prompter),
      m_sound([] { QApplication::beep(); }) {
  setObjectName("importWindow");
  setWindowTitle("Загрузка профилей");
  setFixedSize(320, 427);
  setFont(FixedLayoutFont());
  // Only the window it was opened from waits; an open BIN dialog stays usable.
  setWindowModality(Qt::WindowModal);

  m_list = new QTableWidget(0, 1, this);
  m_list->setObjectName("importList");
  m_list->setHorizontalHeaderLabels({"Имя"});
  m_list->setColumnWidth(0, 300);
  m_list->verticalHeader()->hide();
  m_list->verticalHeader()->setDefaultSectionSize(18);
  m_list->setShowGrid(true);
  m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
  // The selection stays visible when the list does not have the focus.
  QPalette palette = m_list->palette();
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  m_list->setPalette(palette);

  const auto button = [this](const char* name, const char* text, const char* tip) {
    auto* b = new QPushButton(text, this);
    b->setObjectName(name);
    if (tip != nullptr) b->setToolTip(tip);
    return b;
  };
  m_tick = button("tickButton", "Выбрать",
                  "Установка галочек в выделенных пунктах при условии не повторяющихся имён");
  m_untick = button("untickButton", "Отменить", "Сброс галочек в выделенных пунктах");
  m_tickAll = button("tickAllButton", "Выбрать всё", "Установка галочек во всех пунктах");
  m_untickAll = button("untickAllButton", "Отменить всё", "Сброс галочек во всех пунктах");
  m_load = button("loadButton", "Загрузить", "Загрузка выбранных профилей в базу данных");
  m_cancel = button("cancelButton", "Отмена", nullptr);
  connect(m_tick, &QPushButton::clicked, this, &ImportWindow::TickSelected);
  connect(m_untick, &QPushButton::clicked, this, &ImportWindow::UntickSelected);
  connect(m_tickAll, &QPushButton::clicked, this, [this] { TickAll(true); });
  connect(m_untickAll, &QPushButton::clicked, this, [this] { TickAll(false); });
  connect(m_load, &QPushButton::clicked, this, &ImportWindow::Load);
  connect(m_cancel, &QPushButton::clicked, this, &QWidget::close);

  // The status bar lines up its two fields itself.
  m_statusBar = new QStatusBar(this);
  m_statusBar->setObjectName("importStatusBar");
  m_statusBar->setSizeGripEnabled(false);
  m_countField = new QLabel(m_statusBar);
  m_countField->setObjectName("countField");
  m_countField->setFixedWidth(40);
  m_statusBar->addWidget(m_countField);
  m_pathField = new QLabel(m_statusBar);
  m_pathField->setObjectName("pathField");
  m_pathField->setFixedWidth(300);
  m_statusBar->addWidget(m_pathField);

  PlaceControls({
      {m_list, {8, 12, 304, 316}},
      {m_tick, {4, 336, 70, 24}},
      {m_untick, {76, 336, 70, 24}},
      {m_tickAll, {154, 336, 80, 24}},
      {m_untickAll, {236, 336, 80, 24}},
      {m_load, {60, 370, 84, 24}},
      {m_cancel, {196, 370, 76, 24}},
      {m_statusBar, {0, 405, 320, 22}},
  });

  m_pathField->setText("  " + QString::fromStdString(m_path));
  FillList();
  m_countField->setText("  " + QString::number(m_list->rowCount()));

  ShowOver(this, owner);
  if (m_list->rowCount() == 0) {
    for (QPushButton* b : {m_load, m_tick, m_untick, m_tickAll, m_untickAll}) b->setEnabled(false);
  } else {
    m_list->setFocus();
  }
  if (owner != nullptr) owner->setEnabled(false);
}

// The window goes with its owner, which then needs no enabling.
ImportWindow::~ImportWindow() = default;

void ImportWindow::FillList() {
  std::vector<std::string> names;
  if (const auto listed = ListProfiles(m_path)) names = *listed;
  m_list->setRowCount(static_cast<int>(names.size()));
  m_repeated.assign(names.size(), false);
  for (std::size_t i = 0; i < names.size(); ++i) {
    auto* item = new QTableWidgetItem(FromCp1251(names[i]));
    item->setData(Qt::UserRole, QByteArray::fromStdString(names[i]));
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
    m_repeated[i] = RepeatsName(names[i], m_existing);
    item->setCheckState(m_repeated[i] ? Qt::Unchecked : Qt::Checked);
    if (m_repeated[i]) item->setForeground(kRepeatedName);
    m_list->setItem(static_cast<int>(i), 0, item);
  }
}

std::string ImportWindow::RowName(int row) const {
  const QTableWidgetItem* item = m_list->item(row, 0);
  return item == nullptr ? std::string() : item->data(Qt::UserRole).toByteArray().toStdString();
}

bool ImportWindow::Ticked(int row) const {
  return m_list->item(row, 0)->checkState() == Qt::Checked;
}

void ImportWindow::SetTicked(int row, bool ticked) {
  m_list->item(row, 0)->setCheckState(ticked ? Qt::Checked : Qt::Unchecked);
}

void ImportWindow::TickSelected() {
  bool ticked = false;
  for (int row = 0; row < m_list->rowCount(); ++row) {
    if (RowName(row).empty()) continue;
    if (m_list->item(row, 0)->isSelected() && !m_repeated[static_cast<std::size_t>(row)]) {
      SetTicked(row, true);
      ticked = true;
    }
    m_list->item(row, 0)->setSelected(false);
  }
  m_list->setFocus();
  if (!ticked) m_sound();
}

void ImportWindow::UntickSelected() {
  bool any = false;
  for (int row = 0; row < m_list->rowCount(); ++row) {
    if (!m_list->item(row, 0)->isSelected()) continue;
    SetTicked(row, false);
    m_list->item(row, 0)->setSelected(false);
    any = true;
  }
  m_list->setFocus();
  if (!any) m_sound();
}

void ImportWindow::TickAll(bool ticked) {
  for (int row = 0; row < m_list->rowCount(); ++row) SetTicked(row, ticked);
  m_list->clearSelection();
  m_list->setFocus();
}

// Marks the rows again when the database changed since its names were
// read: a name that another program added meanwhile turns red and loses its
// tick, as it would have when the window opened. Returns how many ticks it took.
int ImportWindow::RefreshRepeats() {
  const FileStamp now = StampOf(m_databasePath);
  if (now == m_listed) return 0;
  m_listed = now;
  const std::optional<std::vector<std::string>> names = ListProfiles(m_databasePath);
  if (!names) return 0;
  m_existing = LoweredNames(*names);
  int unticked = 0;
  for (int row = 0; row < m_list->rowCount(); ++row) {
    QTableWidgetItem* item = m_list->item(row, 0);
    const bool repeated = RepeatsName(RowName(row), m_existing);
    if (repeated && !m_repeated[static_cast<std::size_t>(row)]) {
      item->setForeground(kRepeatedName);
      if (Ticked(row)) ++unticked;
      SetTicked(row, false);
    } else if (!repeated) {
      item->setData(Qt::ForegroundRole, QVariant());
    }
    m_repeated[static_cast<std::size_t>(row)] = repeated;
  }
  return unticked;
}

void ImportWindow::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() == QEvent::ActivationChange && isActiveWindow() && m_open) RefreshRepeats();
}

void ImportWindow::Load() {
  for (const std::string* file : {&m_path, &m_databasePath}) {
    if (!FileExists(*file)) {
      ShowError(m_prompter, "Фатальная ошибка", "Файл  " + *file + "\nне найден!");
      return;
    }
  }
  // The names are checked against the database as it is now, and nobody
  // else may change it until the profiles are copied.
  const FileLock lock(m_databasePath);
  if (!lock.Status()) {
    ShowError(m_prompter, "Ошибка",
              "Не удалось сохранить данные профиля\n" + AsSentence(lock.Status().Reason()));
    return;
  }
  if (RefreshRepeats() > 0) {
    ShowWarning(m_prompter, "Повторное имя",
                "Пока окно было открыто, в базе появились профили с такими же именами.\n"
                "Они отмечены красным, и галочки с них сняты.");
    return;
  }
  std::vector<ProfileImport> chosen;
  for (int row = 0; row < m_list->rowCount(); ++row) {
    const std::string name = RowName(row);
    if (Ticked(row) && !name.empty()) chosen.push_back({name, name});
  }
  if (chosen.empty()) {
    ShowWarning(m_prompter, "", "Нужно выбрать не менее одного профиля");
    return;
  }
  const ImportResult outcome = ImportProfiles(m_path, chosen, m_databasePath);
  for (const Message& missing : outcome ? outcome->missing : outcome.Reason().missing) {
    m_prompter.Show(missing);
  }
  if (!outcome) {
    m_prompter.Show(outcome.Reason().message);
    return;
  }
  if (outcome->copied == 0) return;
  emit imported();
  close();
}

void ImportWindow::closeEvent(QCloseEvent* event) {
  event->accept();
  if (!m_open) return;
  m_open = false;
  if (m_owner) m_owner->setEnabled(true);
  emit closed();
}

}  // namespace zeltrix
