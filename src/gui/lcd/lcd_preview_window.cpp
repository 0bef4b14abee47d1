#include "gui/lcd/lcd_preview_window.h"

#include <QBuffer>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMainWindow>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QShortcut>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <utility>

#include "core/io/file_io.h"
#include "core/io/text_file.h"
#include "core/lcd/module_image.h"
#include "core/lcd/screen_layout.h"
#include "gui/lcd/lcd_screen_view.h"
#include "gui/support/rom_captions.h"

namespace zeltrix {
namespace {

const LcdTheme& ThemeOrDefault(const std::string& id) {
  const LcdTheme* theme = FindLcdTheme(id);
  return theme != nullptr ? *theme : LcdThemes().front();
}

QString SizeCaption(LcdGeometry geometry) {
  return QString("%1×%2").arg(geometry.columns).arg(geometry.rows);
}

long long Overlap(const QRect& a, const QRect& b) {
  const QRect common = a.intersected(b);
  return common.isEmpty() ? 0 : static_cast<long long>(common.width()) * common.height();
}

// Where a frame of that size goes beside the owner's frame: right, left,
// below or above it where it fits on the screen, else at the place on the
// screen where it covers least of the owner's bars (caption, menu bar,
// toolbar), then least of the owner.
QPoint PlaceBeside(const QRect& owner, const QRect& bars, const QSize& frame, const QRect& area) {
  constexpr int kGap = 8;
  const auto onScreen = [&](QPoint at) {
    at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - frame.width())));
    at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - frame.height())));
    return at;
  };
  const QPoint candidates[] = {
      {owner.right() + 1 + kGap, owner.top()},
      {owner.left() - kGap - frame.width(), owner.top()},
      {owner.left(), owner.bottom() + 1 + kGap},
      {owner.left(), owner.top() - kGap - frame.height()},
      {area.right() + 1 - frame.width(), area.bottom() + 1 - frame.height()},
      {area.left(), area.bottom() + 1 - frame.height()},
      {area.right() + 1 - frame.width(), area.top()},
      {area.left(), area.top()},
  };
  QPoint best;
  std::pair<long long, long long> least{-1, -1};
  for (const QPoint& candidate : candidates) {
    const QRect place(onScreen(candidate), frame);
    const std::pair<long long, long long> covered{Overlap(place, bars), Overlap(place, owner)};
    if (least.first < 0 || covered < least) {
      least = covered;
      best = place.topLeft();
    }
  }
  return best;
}

}  // namespace

ProfileDisplay ProfileDisplayOf(const ProfileRecord& profile) {
  const CgramSetup setup = CgramSetupOf(profile);
  return {profile.Rom, profile.LookAlikes != 0, profile.Cgram != 0, setup.slotBase, setup.geometry};
}

const char* CharactersWord(std::size_t count) {
  if (count % 100 >= 11 && count % 100 <= 14) return "знаков";
  if (count % 10 == 1) return "знак";
  if (count % 10 >= 2 && count % 10 <= 4) return "знака";
  return "знаков";
}

LcdPreviewWindow::LcdPreviewWindow(PreviewSource source, LcdPreviewSettings& settings,
                                   const ProfileDisplay& profile, Prompter& prompter,
                                   FileRequester& requester)
    // No owner: a window of its own that stays open beside the main window.
    : QWidget(nullptr, Qt::Window),
      m_source(std::move(source)),
      m_settings(settings),
      m_prompter(prompter, this),
      m_requester(requester, this),
      m_profile(profile) {
  setObjectName("lcdPreviewWindow");
  setWindowTitle("Экран LCD");
  m_refreshTimer.setSingleShot(true);
  m_refreshTimer.setInterval(kRefreshDelayMs);
  connect(&m_refreshTimer, &QTimer::timeout, this, &LcdPreviewWindow::Refresh);
  BuildControls();
  SetInitialStates();
  Refresh();
}

void LcdPreviewWindow::BuildControls() {
  auto* layout = new QVBoxLayout(this);

  auto* choices = new QHBoxLayout;
  auto* sizeCaption = new QLabel("Размер:", this);
  m_sizes = new QComboBox(this);
  m_sizes->setObjectName("lcdSizeCombo");
  for (const LcdGeometry& geometry : kLcdGeometries) m_sizes->addItem(SizeCaption(geometry));
  sizeCaption->setBuddy(m_sizes);
  auto* zoomCaption = new QLabel("Масштаб:", this);
  m_zoom = new QSpinBox(this);
  m_zoom->setObjectName("lcdZoomSpin");
  m_zoom->setRange(kMinLcdScale, kMaxLcdScale);
  m_zoom->setSuffix("×");
  zoomCaption->setBuddy(m_zoom);
  auto* themeCaption = new QLabel("Тема:", this);
  m_themes = new QComboBox(this);
  m_themes->setObjectName("lcdThemeCombo");
  for (const LcdTheme& theme : LcdThemes()) {
    m_themes->addItem(
        QString::fromUtf8(theme.name.data(), static_cast<qsizetype>(theme.name.size())));
  }
  themeCaption->setBuddy(m_themes);
  for (QWidget* widget : {static_cast<QWidget*>(sizeCaption), static_cast<QWidget*>(m_sizes),
                          static_cast<QWidget*>(zoomCaption), static_cast<QWidget*>(m_zoom),
                          static_cast<QWidget*>(themeCaption), static_cast<QWidget*>(m_themes)}) {
    choices->addWidget(widget);
  }
  choices->addStretch();
  layout->addLayout(choices);

  // The ROM's long names get a row of their own, so the window stays as
  // narrow as the smaller modules.
  auto* romRow = new QHBoxLayout;
  auto* romCaption = new QLabel("Знакогенератор:", this);
  m_roms = new QComboBox(this);
  m_roms->setObjectName("lcdRomCombo");
  m_roms->setToolTip("Набор знаков, зашитый в индикатор");
  AddRomItems(m_roms);
  romCaption->setBuddy(m_roms);
  romRow->addWidget(romCaption);
  romRow->addWidget(m_roms);
  m_markSlots = new QCheckBox("Отмечать свои знаки", this);
  m_markSlots->setObjectName("lcdMarkSlotsCheck");
  m_markSlots->setToolTip("Обвести рамкой знакоместа, где выведены свои знаки (CGRAM)");
  m_markSlots->setChecked(true);
  romRow->addSpacing(8);
  romRow->addWidget(m_markSlots);
  romRow->addStretch();
  layout->addLayout(romRow);

  m_view = new LcdScreenView;
  m_scroll = new QScrollArea(this);
  m_scroll->setObjectName("lcdScrollArea");
  m_scroll->setWidget(m_view);
  m_scroll->setAlignment(Qt::AlignCenter);
  m_scroll->setFrameShape(QFrame::NoFrame);
  layout->addWidget(m_scroll, 1);

  m_slotStrip = new LcdSlotStrip(this);
  layout->addWidget(m_slotStrip, 0, Qt::AlignHCenter);
  m_cgramStatus = new QLabel(this);
  m_cgramStatus->setObjectName("lcdCgramStatusLabel");
  m_cgramStatus->setWordWrap(true);
  layout->addWidget(m_cgramStatus);

  m_status = new QLabel(this);
  m_status->setObjectName("lcdStatusLabel");
  m_status->setWordWrap(true);
  layout->addWidget(m_status);

  auto* paging = new QHBoxLayout;
  m_previous = new QPushButton("◀ Назад", this);
  m_previous->setObjectName("lcdPreviousButton");
  m_previous->setToolTip("Предыдущий экран (PgUp)");
  m_pageLabel = new QLabel(this);
  m_pageLabel->setObjectName("lcdPageLabel");
  m_pageLabel->setAlignment(Qt::AlignCenter);
  m_next = new QPushButton("Вперёд ▶", this);
  m_next->setObjectName("lcdNextButton");
  m_next->setToolTip("Следующий экран (PgDn)");
  m_saveImage = new QPushButton("Сохранить изображение…", this);
  m_saveImage->setObjectName("lcdSaveImageButton");
  paging->addWidget(m_previous);
  paging->addWidget(m_pageLabel);
  paging->addWidget(m_next);
  paging->addStretch();
  paging->addWidget(m_saveImage);
  layout->addLayout(paging);

  connect(m_previous, &QPushButton::clicked, this, [this] {
    if (m_screen > 0) ShowScreen(m_screen - 1);
  });
  connect(m_next, &QPushButton::clicked, this, [this] { ShowScreen(m_screen + 1); });
  connect(m_saveImage, &QPushButton::clicked, this, &LcdPreviewWindow::SaveImage);
  connect(m_view, &LcdScreenView::cellClicked, this, &LcdPreviewWindow::PlaceCaret);
  connect(m_markSlots, &QCheckBox::toggled, this, &LcdPreviewWindow::Redraw);
  // The window's own keys, whichever of its controls has the focus.
  auto* pageUp = new QShortcut(QKeySequence(Qt::Key_PageUp), this);
  connect(pageUp, &QShortcut::activated, m_previous, &QPushButton::click);
  auto* pageDown = new QShortcut(QKeySequence(Qt::Key_PageDown), this);
  connect(pageDown, &QShortcut::activated, m_next, &QPushButton::click);
}

void LcdPreviewWindow::SetInitialStates() {
  // Stored values the window cannot show read as the defaults; the record
  // keeps them until the user chooses otherwise.
  ApplyProfileSize();
  ShowCgramControls();
  m_zoom->setValue(std::clamp(m_settings.Zoom, kMinLcdScale, kMaxLcdScale));
  m_themes->setCurrentIndex(
      static_cast<int>(&ThemeOrDefault(m_settings.Theme) - LcdThemes().data()));
  m_roms->setCurrentIndex(RowOfRom(m_profile.rom));
  // Only the user's choice: the program sets the list as the profile changes.
  connect(m_roms, &QComboBox::activated, this, &LcdPreviewWindow::RomChosen);
  connect(m_sizes, &QComboBox::currentIndexChanged, this, &LcdPreviewWindow::SizeChosen);
  connect(m_zoom, &QSpinBox::valueChanged, this, [this](int zoom) {
    m_settings.Zoom = zoom;
    Redraw();
    FitToScreen();
  });
  connect(m_themes, &QComboBox::currentIndexChanged, this, [this](int index) {
    m_settings.Theme = std::string(LcdThemes()[static_cast<std::size_t>(index)].id);
    Redraw();
  });
}

void LcdPreviewWindow::Open(QWidget* beside) {
  // Until the window is shown its frame is unknown: the desktop gives it the
  // same as the owner's.
  if (beside != nullptr) m_decoration = beside->frameGeometry().size() - beside->size();
  if (m_settings.W > 0 && m_settings.H > 0)
    resize(QSize(m_settings.W, m_settings.H).boundedTo(LargestSize()));
  else
    FitToScreen();
  const QPoint stored(m_settings.X, m_settings.Y);
  const bool storedOnScreen =
      m_settings.X != -1 && QGuiApplication::screenAt(stored + QPoint(40, 10)) != nullptr;
  if (storedOnScreen) {
    move(stored);
  } else if (beside != nullptr && beside->screen() != nullptr) {
    const QRect frame = beside->frameGeometry();
    // The owner's caption, menu bar and toolbar: everything above its central widget.
    int barsBottom = frame.top() + (frame.height() - beside->height());
    if (const auto* main = qobject_cast<const QMainWindow*>(beside);
        main != nullptr && main->centralWidget() != nullptr) {
      barsBottom = main->centralWidget()->mapToGlobal(QPoint(0, 0)).y() - 1;
    }
    const QRect bars(frame.topLeft(), QPoint(frame.right(), barsBottom));
    move(PlaceBeside(frame, bars, size() + m_decoration, beside->screen()->availableGeometry()));
  }
  show();
  m_placed = true;
  raise();
  activateWindow();
  m_view->setFocus();
}

void LcdPreviewWindow::TextChanged() {
  m_textStale = true;
  m_followCaret = true;
  ScheduleRefresh();
}

void LcdPreviewWindow::CaretMoved() {
  // A caret that stays on the screen shown, in an unchanged text, changes nothing.
  if (!m_textStale && !m_refreshTimer.isActive() && CaretScreen() == m_screen) return;
  m_followCaret = true;
  ScheduleRefresh();
}

void LcdPreviewWindow::ScheduleRefresh() {
  // Not restarted by every key: a user who types on still sees a redraw
  // every kRefreshDelayMs.
  if (!m_refreshTimer.isActive()) m_refreshTimer.start();
}

LcdGeometry LcdPreviewWindow::Geometry() const {
  return kLcdGeometries[static_cast<std::size_t>(m_sizes->currentIndex())];
}

std::size_t LcdPreviewWindow::ScreenCount() const {
  return ScreenOfLine(m_lineCount - 1, Geometry()) + 1;
}

std::size_t LcdPreviewWindow::CaretScreen() const {
  // The empty line after a final line break shows on the last screen.
  return ScreenOfLine(std::min(m_source.caretLine(), m_lineCount - 1), Geometry());
}

CharacterRom LcdPreviewWindow::ShownRom() const { return RomOfRow(m_roms->currentIndex()); }

void LcdPreviewWindow::RomChosen(int row) {
  m_romChosen = RomOfRow(row) != m_profile.rom;
  Refresh();
}

void LcdPreviewWindow::ApplyProfileSize() {
  // Stored values the window cannot show read as the defaults; the record
  // keeps them until the user chooses otherwise.
  const LcdGeometry geometry = m_profile.cgram
                                   ? m_profile.size
                                   : ParseGeometry(m_settings.Size).value_or(kDefaultLcdGeometry);
  const int row = static_cast<int>(
      std::find(kLcdGeometries.begin(), kLcdGeometries.end(), geometry) - kLcdGeometries.begin());
  if (row == m_sizes->currentIndex()) return;
  // The profile's size is not the user's choice: the settings keep the window's own.
  m_sizeByProfile = true;
  m_sizes->setCurrentIndex(row);
  m_sizeByProfile = false;
}

void LcdPreviewWindow::ShowCgramControls() {
  m_markSlots->setVisible(m_profile.cgram);
  m_slotStrip->setVisible(m_profile.cgram);
  m_cgramStatus->setVisible(m_profile.cgram && !m_cgramStatus->text().isEmpty());
}

void LcdPreviewWindow::SetProfileDisplay(const ProfileDisplay& profile) {
  if (profile == m_profile) return;
  const CharacterRom rom = profile.rom;
  const bool sizeChanges = profile.cgram != m_profile.cgram || profile.size != m_profile.size;
  m_profile = profile;
  ShowCgramControls();
  if (sizeChanges) ApplyProfileSize();
  if (!m_romChosen) {
    m_roms->setCurrentIndex(RowOfRom(rom));
  } else if (ShownRom() == rom) {
    // The profile has come to the ROM the user picked: they go on together.
    m_romChosen = false;
  }
  Refresh();
}

void LcdPreviewWindow::Refresh() {
  m_refreshTimer.stop();
  if (m_textStale) {
    m_text = m_source.text();
    m_lineCount = m_text.Visit([](const auto& text) { return CountTextLines(text); });
    m_textStale = false;
  }
  if (m_followCaret) {
    m_screen = CaretScreen();
    m_followCaret = false;
  }
  const std::size_t screenCount = ScreenCount();
  m_screen = std::min(m_screen, screenCount - 1);
  if (m_profile.cgram) {
    m_plan = PlanCgramScreen(m_text, Setup(), m_screen);
    m_page = m_plan.page;
  } else {
    m_plan = {};
    m_page = LayOutScreen(m_text, Geometry(), m_screen, Map());
  }
  Redraw();
  m_pageLabel->setText(QString("Экран %1 из %2").arg(m_screen + 1).arg(screenCount));
  m_previous->setEnabled(m_screen > 0);
  m_next->setEnabled(m_screen + 1 < screenCount);
  m_status->setText(StatusText());
  m_cgramStatus->setText(QString::fromStdString(CgramMessage(m_plan.report)));
  ShowCgramControls();
}

void LcdPreviewWindow::Redraw() {
  std::vector<bool> overflowing;
  for (const LcdRow& row : m_page.rows) overflowing.push_back(row.overflow > 0);
  const LcdGeometry geometry = Geometry();
  const LcdTheme& theme = LcdThemes()[static_cast<std::size_t>(m_themes->currentIndex())];
  LcdScreen screen(geometry, ShownRom());
  std::vector<std::pair<int, int>> marked;
  if (m_profile.cgram) {
    screen.SetSlots(m_plan.Glyphs());
    if (m_markSlots->isChecked()) marked = SlotCells(m_page, geometry);
    // The slots are shown larger than the module's cells, to be read dot by dot.
    m_slotStrip->SetSlots(SlotsOf(m_plan), m_profile.slotBase, theme,
                          std::min(m_zoom->value() + 2, kMaxLcdScale));
  }
  m_view->SetScreen(screen.Render(m_page), geometry, theme, m_zoom->value(), overflowing, marked);
}

void LcdPreviewWindow::ShowScreen(std::size_t screen) {
  m_screen = std::min(screen, ScreenCount() - 1);
  m_followCaret = false;
  Refresh();
}

QString LcdPreviewWindow::StatusText() const {
  QStringList parts;
  for (const LcdRow& row : m_page.rows) {
    if (row.overflow == 0) continue;
    parts << QString("Строка %1 длиннее экрана на %2 %3")
                 .arg(row.line + 1)
                 .arg(row.overflow)
                 .arg(CharactersWord(row.overflow));
  }
  if (const std::size_t skipped = m_page.Skipped(); skipped > 0) {
    parts
        << QString(parts.isEmpty() ? "Пропущено знаков: %1" : "пропущено знаков: %1").arg(skipped);
  }
  if (parts.isEmpty()) return "Текст экрана помещается целиком";
  return parts.join("; ");
}

void LcdPreviewWindow::SizeChosen() {
  if (!m_sizeByProfile) m_settings.Size = GeometryName(Geometry());
  // The caret's line decides the screen in the new size too.
  m_followCaret = true;
  Refresh();
  FitToScreen();
}

QSize LcdPreviewWindow::Decoration() const {
  // Once the desktop has framed the window its own frame counts.
  const QSize own = frameGeometry().size() - size();
  return isVisible() ? own.expandedTo(m_decoration) : m_decoration;
}

QSize LcdPreviewWindow::LargestSize() const {
  const QScreen* screen = this->screen();
  if (screen == nullptr) return {1600, 1000};
  return screen->availableGeometry().size() - Decoration();
}

void LcdPreviewWindow::FitToScreen() {
  // The module's size, smaller as well as larger, as far as the screen
  // allows; the scroll area takes what does not fit.
  const QSize limit = LargestSize();
  // The scroll area's own size hint remembers the module's size as it was;
  // fixed at the module's size for the moment, it gives the window's size.
  m_scroll->setFixedSize((m_view->sizeHint() + QSize(2, 2)).boundedTo(limit));
  layout()->activate();
  const QSize wanted = sizeHint();
  // Only while fitting: the user may make the window smaller or larger.
  m_scroll->setMinimumSize(0, 0);
  m_scroll->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
  layout()->activate();
  resize(wanted.boundedTo(limit));
  // A window grown past the screen's edge moves back onto it.
  if (const QScreen* screen = this->screen(); screen != nullptr && isVisible()) {
    const QRect area = screen->availableGeometry();
    const QRect frame(pos(), size() + Decoration());
    QPoint at = pos();
    if (frame.right() > area.right()) at.rx() -= frame.right() - area.right();
    if (frame.bottom() > area.bottom()) at.ry() -= frame.bottom() - area.bottom();
    at.setX(std::max(at.x(), area.left()));
    at.setY(std::max(at.y(), area.top()));
    if (at != pos()) move(at);
  }
}

void LcdPreviewWindow::PlaceCaret(int row, int column) {
  if (row < 0 || static_cast<std::size_t>(row) >= m_page.rows.size()) return;
  const LcdRow& shown = m_page.rows[static_cast<std::size_t>(row)];
  // The caret goes before a character of the line, counted as the layout counts them.
  const std::size_t character =
      CellCharacter(m_text, shown, static_cast<std::size_t>(column), Map());
  m_source.placeCaret(shown.line, character);
}

void LcdPreviewWindow::SaveImage() {
  FileRequest request;
  request.mode = FileRequest::Mode::Save;
  request.title = "Сохранить изображение";
  request.filters = {{"Изображения PNG (*.png)", "*.png"}};
  const std::optional<std::string> chosen = m_requester.Choose(request);
  if (!chosen) return;
  const std::string path = CompleteExtension(*chosen, ".png");
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  if (!m_view->ModuleImage().save(&buffer, "PNG") ||
      !WriteFileAtomically(
          path, std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())))) {
    ShowError(m_prompter, "Ошибка", "Не удалось сохранить файл\n" + path);
  }
}

void LcdPreviewWindow::KeepFrame() {
  if (!m_placed || isMinimized() || isMaximized()) return;
  m_settings.X = pos().x();
  m_settings.Y = pos().y();
  m_settings.W = width();
  m_settings.H = height();
}

void LcdPreviewWindow::moveEvent(QMoveEvent* event) {
  QWidget::moveEvent(event);
  KeepFrame();
}

void LcdPreviewWindow::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  KeepFrame();
}

void LcdPreviewWindow::closeEvent(QCloseEvent* event) {
  QWidget::closeEvent(event);
  emit closed();
}

}  // namespace zeltrix
