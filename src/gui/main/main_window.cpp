#include "gui/main/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStandardItemModel>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>
#include <algorithm>

#include "core/image/image_reader.h"
#include "core/io/single_byte_codec.h"
#include "core/io/text_encoding.h"
#include "core/io/text_file.h"
#include "core/io/utf8.h"
#include "core/lcd/character_map.h"
#include "core/lcd/engine_text.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"
#include "gui/about/about_window.h"
#include "gui/image/bin_dialog.h"
#include "gui/image/image_open_dialog.h"
#include "gui/lcd/lcd_preview_window.h"
#include "gui/main/code_editor.h"
#include "gui/main/progress_window.h"
#include "gui/main/text_document.h"
#include "gui/profiles/profile_window.h"
#include "gui/support/app_identity.h"
#include "gui/support/cgram_text.h"
#include "gui/support/dialog_parent.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/owned_window.h"
#include "gui/support/project_info.h"
#include "gui/support/qt_file_names.h"
#include "gui/support/qt_text.h"
#include "gui/support/screen_areas.h"
#include "gui/support/window_placement.h"

namespace zeltrix {
namespace {

const char* const kTitle = kProgramNameAndVersion;
const char* const kConversionTitle = "Преобразование текста";

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

QIcon OwnIcon(const char* name) { return QIcon(QString(":/icons/%1.svg").arg(name)); }

QIcon ThemeIcon(const char* themeName, const char* ownName) {
  return QIcon::fromTheme(themeName, OwnIcon(ownName));
}

// Every command of the window with its menu text and its key. A key is
// written only here: the menu labels, the window's shortcuts and the keys the
// editors leave to the window all come from this table.
struct CommandText {
  Command command;
  const char* text;
  QKeySequence key;
};
const CommandText kCommandTexts[] = {
    {Command::New, "Новый", Qt::CTRL | Qt::Key_N},
    {Command::Open, "Открыть", Qt::CTRL | Qt::Key_O},
    {Command::OpenImage, "Открыть образ…", {}},
    {Command::Save, "Сохранить", Qt::CTRL | Qt::Key_S},
    {Command::SaveAs, "Сохранить как...", Qt::CTRL | Qt::SHIFT | Qt::Key_S},
    {Command::Leave, "Закрыть", {}},
    {Command::Undo, "Отменить", Qt::CTRL | Qt::Key_Z},
    {Command::Redo, "Повторить", Qt::CTRL | Qt::Key_Y},
    {Command::Cut, "Вырезать", Qt::CTRL | Qt::Key_X},
    {Command::Copy, "Копировать", Qt::CTRL | Qt::Key_C},
    {Command::Paste, "Вставить", Qt::CTRL | Qt::Key_V},
    {Command::SelectAll, "Выделить всё", Qt::CTRL | Qt::Key_A},
    {Command::SaveToFile, "Сохранить в файле", {}},
    {Command::Convert, "Преобразовать...", Qt::CTRL | Qt::Key_T},
    {Command::ConvertToBin, "Преобразовать в BIN формат", Qt::CTRL | Qt::Key_B},
    {Command::LcdPreview, "Экран LCD", Qt::CTRL | Qt::Key_L},
    {Command::ManageProfiles, "Управление профилями", {}},
    {Command::About, "О программе", {}},
};

// A menu text shows the command's key after a tab, at the menu's right edge.
QString MenuLabel(const char* text, const QKeySequence& key) {
  const QString label = QString::fromUtf8(text);
  return key.isEmpty() ? label : label + '\t' + key.toString(QKeySequence::PortableText);
}

// A menu opened with the mouse and closed with Escape gives the keyboard back
// to the control that had it, as a click beside the menu does. Qt would leave
// the menu bar holding the keyboard, waiting for arrow keys: the editor's
// caret line goes out and the letters typed next are lost. A menu reached
// from the keyboard (Alt) keeps Qt's way, where Escape goes back to the bar.
class MenuEscape : public QObject {
 public:
  MenuEscape(QMenuBar* bar) : QObject(bar), m_bar(bar) {}

  void Watch(QMenu* menu) {
    menu->installEventFilter(this);
    connect(menu, &QMenu::aboutToShow, this, [this] { m_fromMouse = !m_bar->hasFocus(); });
  }

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    if (event->type() != QEvent::KeyPress || !m_fromMouse) return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    if (key->key() != Qt::Key_Escape || key->modifiers() != Qt::NoModifier) return false;
    static_cast<QMenu*>(object)->hide();
    return true;
  }

 private:
  QMenuBar* m_bar;
  bool m_fromMouse = false;
};

// True when the UTF-8 text holds more characters than that; looks no further.
bool MoreCharactersThan(std::string_view utf8, std::size_t count) {
  std::size_t characters = 0;
  for (const char c : utf8) {
    // Every character starts with a byte that is no continuation byte.
    if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && ++characters > count) return true;
  }
  return false;
}

// The editor's text for the engine: its Windows-1251 bytes when Windows-1251
// holds every character, which converts exactly as the program always has,
// else its characters. A long one is read piece by piece, with the progress
// window's events let through between pieces.
EngineText ReadForConversion(std::string_view utf8, ProgressWindow* progress) {
  if (progress == nullptr) return EngineText::FromUtf8(utf8);
  constexpr std::size_t kPiece = 1 << 20;
  const auto eachPiece = [&](auto&& take) {
    for (std::size_t at = 0; at < utf8.size();) {
      std::size_t end = std::min(utf8.size(), at + kPiece);
      // A piece ends before a character's first byte, never inside a character.
      while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80) ++end;
      const bool more = take(utf8.substr(at, end - at));
      progress->LetEventsThrough();
      if (!more) return;
      at = end;
    }
  };
  std::string bytes;
  bytes.reserve(utf8.size());
  bool holds = true;
  eachPiece([&](std::string_view piece) {
    holds = CodePageHolds(CodePage::Cp1251, piece);
    if (holds) bytes += Utf8ToCp1251Lossy(piece);
    return holds;
  });
  if (holds) return EngineText::FromCp1251(std::move(bytes));
  bytes = std::string();
  std::u32string characters;
  characters.reserve(static_cast<std::size_t>(std::count_if(utf8.begin(), utf8.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  })));
  eachPiece([&](std::string_view piece) {
    for (std::size_t i = 0; i < piece.size();) {
      char32_t c = 0;
      const std::size_t length = DecodeUtf8(piece, i, c);
      // As EngineText::FromUtf8 reads a byte of an invalid sequence.
      characters.push_back(length == 0 ? kReplacementCharacter : c);
      i += length == 0 ? 1 : length;
    }
    return true;
  });
  return EngineText::FromCharacters(std::move(characters));
}

// Puts the data lines into the output editor as the engine hands them over.
// The editor reports no change meanwhile: with each report the component
// counts the characters of the whole text before the change, which makes
// adding to a long text in pieces slower with every piece.
class EditorFeed : public OutputSink {
 public:
  /** The pieces come in UTF-8 when utf8 is set, else in Windows-1251. */
  EditorFeed(CodeEditor& editor, bool utf8) : m_editor(editor), m_utf8(utf8) {
    m_editor.ClearAll();
    m_quiet.emplace(m_editor);
  }
  ~EditorFeed() override { Finish(); }
  void Write(std::string_view bytes) override {
    if (m_utf8) {
      m_editor.AppendUtf8(bytes);
    } else {
      m_editor.AppendUtf8(Cp1251ToUtf8(bytes));
    }
  }
  /** The caret and the view go to the start, as after a whole new text. */
  void Finish() {
    if (!m_quiet) return;
    m_quiet.reset();
    m_editor.GoToStart();
    // No line count was reported meanwhile.
    m_editor.FitLineNumbers();
  }

 private:
  CodeEditor& m_editor;
  bool m_utf8;
  std::optional<CodeEditor::QuietChanges> m_quiet;  // until Finish
};

}  // namespace

MainWindow::MainWindow(const ProgramPaths& paths, const AppSettings& settings, Prompter& prompter,
                       FileRequester& requester)
    : m_paths(paths), m_settings(settings), m_prompter(prompter), m_requester(requester) {
  InitOwnResources();
  setObjectName("mainWindow");
  setWindowTitle(kTitle);
  setWindowIcon(ApplicationIcon());
  move(m_settings.X, m_settings.Y);
  resize(m_settings.W, m_settings.H);

  BuildMenus();
  BuildToolbar();
  BuildStatusBar();
  BuildEditors();
  FillProfileSelector(m_settings.Pos);
  connect(qApp, &QApplication::focusChanged, this, &MainWindow::FocusChanged);
  UpdateEditingCommands();
}

MainWindow::~MainWindow() {
  // The widgets below go after this part of the window: nothing they or the
  // application signal from now on may reach it.
  QObject::disconnect(qApp, nullptr, this, nullptr);
  for (QObject* child : findChildren<QObject*>()) child->disconnect(this);
}

QAction* MainWindow::MakeCommand(Command command, const QString& text) {
  auto* action = new QAction(text, this);
  action->setIconVisibleInMenu(false);
  connect(action, &QAction::triggered, this, [this, command] { Execute(command); });
  m_actions[command] = action;
  return action;
}

const std::string& MainWindow::CurrentFileName() const { return m_document->FileName(); }

QAction* MainWindow::CommandAction(Command command) const {
  const auto found = m_actions.find(command);
  return found == m_actions.end() ? nullptr : found->second;
}

QList<QKeySequence> MainWindow::WindowKeys() {
  QList<QKeySequence> keys;
  for (const CommandText& entry : kCommandTexts) {
    if (!entry.key.isEmpty()) keys << entry.key;
  }
  return keys;
}

void MainWindow::BuildEncodingMenu(QMenu* file) {
  QMenu* menu = file->addMenu("Кодировка");
  menu->setObjectName("encodingMenu");
  auto* group = new QActionGroup(menu);
  for (std::size_t i = 0; i < std::size(kTextEncodings); ++i) {
    const TextEncoding encoding = kTextEncodings[i];
    QAction* item = menu->addAction(EncodingName(encoding));
    item->setCheckable(true);
    group->addAction(item);
    connect(item, &QAction::triggered, this, [this, encoding] { ChooseEncoding(encoding); });
    m_encodingItems[i] = item;
  }
}

void MainWindow::UpdateEncodingMenu() {
  for (std::size_t i = 0; i < std::size(kTextEncodings); ++i) {
    m_encodingItems[i]->setChecked(kTextEncodings[i] == m_document->Format().encoding);
  }
}

void MainWindow::BindWindowKeys() {
  // Each key is bound once, by the window, and the actions carry none: a key
  // bound twice is ambiguous to Qt wherever both bindings match (an action's
  // binding matches while the menu bar holds the keyboard), and an ambiguous
  // key does nothing. A disabled action would also hand its key on to the
  // focused control (the profile selector would search its list with
  // Ctrl+A); the window's key is taken and does nothing while its command is off.
  for (const CommandText& entry : kCommandTexts) {
    if (entry.key.isEmpty()) continue;
    QAction* action = m_actions.at(entry.command);
    auto* shortcut = new QShortcut(entry.key, this);
    connect(shortcut, &QShortcut::activated, action, [action] {
      if (action->isEnabled()) action->trigger();
    });
  }
}

void MainWindow::AddMenuItems(QMenu* menu, std::initializer_list<Command> commands) {
  for (const Command command : commands) {
    if (command == kSeparator) {
      menu->addSeparator();
    } else {
      menu->addAction(m_actions.at(command));
    }
  }
}

void MainWindow::BuildMenus() {
  for (const CommandText& entry : kCommandTexts) {
    MakeCommand(entry.command, MenuLabel(entry.text, entry.key));
  }
  BindWindowKeys();
  const RecentFileLabels labels = RecentFileMenuLabels(m_settings.RecentFiles);
  for (int n = 1; n <= kRecentFileCount; ++n) {
    m_recentItems[n - 1] = MakeCommand(RecentFileCommand(n), QString());
    SetRecentLabel(n, labels[n - 1]);
  }

  QMenu* file = menuBar()->addMenu("Файл");
  AddMenuItems(file,
               {Command::New, Command::Open, Command::OpenImage, Command::Save, Command::SaveAs});
  BuildEncodingMenu(file);
  file->addSeparator();
  QMenu* recent = file->addMenu("Недавние файлы");
  recent->setObjectName("recentFilesMenu");
  for (QAction* item : m_recentItems) recent->addAction(item);
  AddMenuItems(file, {kSeparator, Command::Leave});

  QMenu* edit = menuBar()->addMenu("Правка");
  AddMenuItems(edit, {Command::Undo, Command::Redo, kSeparator, Command::Cut, Command::Copy,
                      Command::Paste, kSeparator, Command::SelectAll});

  QMenu* conversion = menuBar()->addMenu("Преобразование");
  AddMenuItems(conversion, {Command::Convert, Command::ConvertToBin, Command::LcdPreview,
                            kSeparator, Command::ManageProfiles});

  QMenu* help = menuBar()->addMenu("Справка");
  AddMenuItems(help, {Command::About});
  auto* escape = new MenuEscape(menuBar());
  for (QMenu* menu : {file, edit, conversion, help}) escape->Watch(menu);

  // The editors' context menu: Undo and Redo follow the main menu's state,
  // the rest is always available, so those items are copies that only show
  // the key and are never disabled.
  m_contextMenu = new QMenu(this);
  m_contextMenu->setObjectName("editorContextMenu");
  AddMenuItems(m_contextMenu, {Command::Undo, Command::Redo, kSeparator});
  for (const Command command : {Command::Cut, Command::Copy, Command::Paste, kSeparator,
                                Command::SelectAll, kSeparator, Command::SaveToFile}) {
    if (command == kSeparator) {
      m_contextMenu->addSeparator();
      continue;
    }
    auto* item = new QAction(m_actions.at(command)->text(), m_contextMenu);
    connect(item, &QAction::triggered, this, [this, command] { Execute(command); });
    m_contextMenu->addAction(item);
  }
}

void MainWindow::BuildToolbar() {
  m_toolbar = addToolBar("Панель инструментов");
  m_toolbar->setObjectName("mainToolbar");
  m_toolbar->setMovable(false);
  m_toolbar->setFloatable(false);
  m_toolbar->setIconSize(QSize(16, 16));
  m_toolbar->setContextMenuPolicy(Qt::PreventContextMenu);
  m_toolbar->toggleViewAction()->setVisible(false);

  const auto button = [this](Command command, const QIcon& icon, const char* tip) {
    QAction* action = m_actions.at(command);
    action->setIcon(icon);
    action->setToolTip(tip);
    m_toolbar->addAction(action);
  };
  m_toolbar->addSeparator();
  button(Command::New, OwnIcon("document-new"), "Новый");
  button(Command::Open, OwnIcon("document-open"), "Открыть");
  button(Command::Save, OwnIcon("document-save"), "Сохранить");
  m_toolbar->addSeparator();
  button(Command::Cut, OwnIcon("edit-cut"), "Вырезать");
  button(Command::Copy, OwnIcon("edit-copy"), "Копировать");
  button(Command::Paste, OwnIcon("edit-paste"), "Вставить");
  m_toolbar->addSeparator();
  // Undo and Redo carry no tooltip, so their buttons get actions of their own.
  m_toolbarUndo = m_toolbar->addAction(ThemeIcon("edit-undo", "edit-undo"), QString());
  m_toolbarRedo = m_toolbar->addAction(ThemeIcon("edit-redo", "edit-redo"), QString());
  connect(m_toolbarUndo, &QAction::triggered, this, [this] { Execute(Command::Undo); });
  connect(m_toolbarRedo, &QAction::triggered, this, [this] { Execute(Command::Redo); });
  m_toolbar->addSeparator();
  button(Command::Convert, ThemeIcon("document-properties", "convert"), "Преобразовать");
  button(Command::LcdPreview, OwnIcon("lcd-preview"), "Экран LCD");

  auto* labelSpace = new QWidget(m_toolbar);
  labelSpace->setFixedSize(72, 26);
  auto* label = new QLabel("Профиль", labelSpace);
  label->setGeometry(14, 5, 54, 16);
  FitText(label);
  m_toolbar->addWidget(labelSpace);

  auto* selectorSpace = new QWidget(m_toolbar);
  selectorSpace->setFixedSize(146, 26);
  m_selector = new QComboBox(selectorSpace);
  m_selector->setObjectName("profileSelectorCombo");
  m_selector->setGeometry(0, 2, 140, 22);
  m_selector->setToolTip("Выбор профиля");
  m_selector->setMaxVisibleItems(10);
  m_toolbar->addWidget(selectorSpace);
  connect(m_selector, &QComboBox::activated, this, &MainWindow::ProfileChosen);

  button(Command::ManageProfiles, OwnIcon("profiles"), "Управление профилями");
  m_toolbar->addSeparator();
  button(Command::About, OwnIcon("about"), "О программе");
  CompactToolbar(m_toolbar);
}

void MainWindow::FillProfileSelector(int pos) {
  ListProfilesIntoSelector();
  m_selector->setCurrentIndex(ProfileIndexToSelect(pos, m_selector->count()));
  LoadSelectedProfile();
}

void MainWindow::RefreshProfileSelector(int index) {
  ListProfilesIntoSelector();
  m_selector->setCurrentIndex(index >= 0 && index < m_selector->count() ? index : -1);
  LoadSelectedProfile();
}

void MainWindow::ListProfilesIntoSelector() {
  m_profilesListed = StampOf(m_paths.profiles);
  const ProfileListRead listed = ReadProfileList(m_paths.profiles);
  if (const auto message = m_profileReports.Untold(m_paths.profiles, listed)) {
    m_prompter.Show(*message);
  }
  if (!listed) return;
  // One insertion of all rows: adding 100,000 names one by one takes seconds.
  QList<QStandardItem*> items;
  items.reserve(static_cast<qsizetype>(listed->names.size()));
  for (const std::string& name : listed->names) {
    auto* item = new QStandardItem(FromCp1251(name));
    item->setData(QByteArray::fromStdString(name), Qt::UserRole);
    items.append(item);
  }
  m_selector->clear();
  auto* model = qobject_cast<QStandardItemModel*>(m_selector->model());
  model->clear();
  model->appendColumn(items);
}

void MainWindow::changeEvent(QEvent* event) {
  QMainWindow::changeEvent(event);
  // The profile window edits in CurrentProfile and lists the profiles itself.
  if (event->type() != QEvent::ActivationChange || !isActiveWindow() || m_converting ||
      (m_profileWindow && m_profileWindow->isVisible()) ||
      StampOf(m_paths.profiles) == m_profilesListed) {
    return;
  }
  const std::string selected = SelectedProfileName();
  const int index = m_selector->currentIndex();
  ListProfilesIntoSelector();
  const int same = m_selector->findData(QByteArray::fromStdString(selected));
  m_selector->setCurrentIndex(same >= 0 ? same : ProfileIndexToSelect(index, m_selector->count()));
  LoadSelectedProfile();
}

void MainWindow::LoadSelectedProfile() {
  const Result<bool> loaded =
      LoadProfile(m_paths.profiles, SelectedProfileName(), m_currentProfile);
  if (!loaded) {
    m_prompter.Show(loaded.Reason());
  } else if (*loaded) {
    LoadedProfile();
  }
  m_actions.at(Command::Convert)->setEnabled(m_selector->count() > 0);
}

std::string MainWindow::SelectedProfileName() const {
  return m_selector->currentIndex() < 0 ? std::string()
                                        : m_selector->currentData().toByteArray().toStdString();
}

void MainWindow::LoadedProfile() {
  m_output->SetCommentMarker(m_currentProfile.Comment);
  // The editors colour, and the LCD preview draws, for the profile's display.
  m_display = CharacterMapOf(m_currentProfile);
  m_layout = m_currentProfile.Layout;
  m_source->SetCharacterMap(m_display);
  m_output->SetCharacterMap(m_display);
  if (m_lcdPreview) m_lcdPreview->SetProfileDisplay(ProfileDisplayOf(m_currentProfile));
}

void MainWindow::OpenProfileManager() {
  if (m_profileWindow && m_profileWindow->isVisible()) {
    m_profileWindow->activateWindow();
    return;
  }
  std::vector<std::string> names;
  for (int i = 0; i < m_selector->count(); ++i) {
    names.push_back(m_selector->itemData(i).toByteArray().toStdString());
  }
  // The window edits in CurrentProfile; closing it loads the chosen profile again.
  m_profileWindow =
      std::make_unique<ProfileWindow>(this, m_paths.profiles, names, m_selector->currentIndex(),
                                      m_currentProfile, m_prompter, m_requester, m_profileReports);
  connect(m_profileWindow.get(), &ProfileWindow::closed, this, [this](int index) {
    RefreshProfileSelector(index);
    activateWindow();
    m_source->setFocus();
  });
  ReleaseWhenClosed(this, m_profileWindow);
}

void MainWindow::BuildStatusBar() {
  QStatusBar* bar = statusBar();
  bar->setSizeGripEnabled(true);
  auto* first = new QLabel(bar);
  first->setFixedWidth(30);
  bar->addWidget(first);
  m_pathField = new QLabel(bar);
  m_pathField->setObjectName("pathField");
  m_pathField->setFixedWidth(800);
  bar->addWidget(m_pathField);
  m_modifiedIndicator = new QLabel(bar);
  m_modifiedIndicator->setObjectName("modifiedIndicator");
  m_modifiedIndicator->setPixmap(OwnIcon("modified").pixmap(16, 16));
  m_modifiedIndicator->setGeometry(5, 3, 16, 16);
  m_modifiedIndicator->setToolTip("Признак того, что текст в редакторе был изменён");
  m_modifiedIndicator->hide();
}

void MainWindow::BuildEditors() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->setContentsMargins(2, 2, 2, 2);
  m_splitter = new QSplitter(Qt::Vertical, central);
  m_splitter->setObjectName("editorSplitter");
  m_splitter->setHandleWidth(4);
  m_splitter->setChildrenCollapsible(false);
  layout->addWidget(m_splitter);
  setCentralWidget(central);

  m_source = new CodeEditor(EditorRole::Source, m_splitter);
  m_source->setObjectName("sourceEditor");
  m_output = new CodeEditor(EditorRole::Output, m_splitter);
  m_output->setObjectName("outputEditor");
  const QList<QKeySequence> windowKeys = WindowKeys();
  m_source->LeaveKeysToWindow(windowKeys);
  m_output->LeaveKeysToWindow(windowKeys);
  m_output->SetCommentMarker(m_currentProfile.Comment);
  for (CodeEditor* editor : {m_source, m_output}) {
    editor->setMinimumHeight(50);
    m_splitter->addWidget(editor);
    connect(editor, &QWidget::customContextMenuRequested, this, [this, editor](const QPoint& pos) {
      ShowContextMenu(editor, editor->mapToGlobal(pos));
    });
    connect(editor, &CodeEditor::filesDropped, this, &MainWindow::OpenDroppedFiles);
  }
  // The source editor's text is the document; the window shows its file, encoding and state.
  m_document = new TextDocument(
      *m_source, m_prompter, m_requester, [this] { return FolderOf(m_settings.RecentFiles[0]); },
      this);
  connect(m_document, &TextDocument::modificationChanged, this, &MainWindow::SetModifiedIndicator);
  connect(m_document, &TextDocument::formatChanged, this, [this] {
    UpdateEncodingMenu();
    ShowPathField();
  });
  connect(m_document, &TextDocument::fileUsed, this, &MainWindow::FileUsed);
  connect(m_document, &TextDocument::cleared, this, [this] { SetPathField({}); });
  UpdateEncodingMenu();
  connect(m_source, &QsciScintilla::textChanged, this, &MainWindow::UpdateEditingCommands);
  // Tab goes round the editors and the profile selector, in reading order.
  setTabOrder(m_source, m_output);
  setTabOrder(m_output, m_selector);
  setTabOrder(m_selector, m_source);
}

void MainWindow::ShowAtStart() {
  show();
  // The divider goes where it was once the editors have their real size.
  layout()->activate();
  centralWidget()->layout()->activate();
  const int total = m_splitter->height() - m_splitter->handleWidth();
  m_splitter->setSizes({m_settings.R, std::max(50, total - m_settings.R)});
  activateWindow();
  m_source->setFocus();
  setAcceptDrops(true);
}

void MainWindow::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  if (isMinimized()) return;
  // A window narrower than 516 or lower than 300 is set back to 520 by 304.
  const int width = this->width() < 516 ? 520 : this->width();
  const int height = this->height() < 300 ? 304 : this->height();
  if (width != this->width() || height != this->height()) resize(width, height);
}

void MainWindow::SetModifiedIndicator(bool modified) { m_modifiedIndicator->setVisible(modified); }

void MainWindow::FocusChanged(QWidget*, QWidget* now) {
  // The menu bar, a menu or another window taking the focus leaves the target
  // as it was: the editing commands chosen there act on the editor the user
  // was in. Another control of this window is no editor, so nothing is edited.
  if (now != nullptr && now->window() == this && qobject_cast<QMenuBar*>(now) == nullptr) {
    m_editTarget = nullptr;
    for (QWidget* w = now; w != nullptr && w != this; w = w->parentWidget()) {
      if (w == m_source || w == m_output) m_editTarget = static_cast<CodeEditor*>(w);
    }
  }
  UpdateEditingCommands();
}

void MainWindow::UpdateEditingCommands() {
  CodeEditor* target = m_editTarget;
  for (Command command : {Command::Cut, Command::Copy, Command::Paste, Command::SelectAll})
    m_actions.at(command)->setEnabled(target != nullptr);
  const bool undo = target == m_source && m_source->CanUndo();
  const bool redo = target == m_source && m_source->CanRedo();
  m_actions.at(Command::Undo)->setEnabled(undo);
  m_toolbarUndo->setEnabled(undo);
  m_actions.at(Command::Redo)->setEnabled(redo);
  m_toolbarRedo->setEnabled(redo);
}

void MainWindow::ShowContextMenu(CodeEditor* editor, const QPoint& globalPos) {
  editor->setFocus(Qt::MouseFocusReason);
  UpdateEditingCommands();
  m_contextMenu->popup(globalPos);
}

void MainWindow::Execute(Command command) {
  switch (command) {
    case Command::Undo:
    case Command::Redo:
    case Command::Cut:
    case Command::Copy:
    case Command::Paste:
    case Command::SelectAll:
    case Command::SaveToFile:
      EditingCommand(command);
      break;
    case Command::New:
      NewDocument();
      break;
    case Command::Open:
      OpenDocument();
      break;
    case Command::OpenImage:
      OpenImage();
      break;
    case Command::Save:
      m_document->Save();
      m_source->setFocus();
      break;
    case Command::SaveAs:
      m_document->SaveAs();
      m_source->setFocus();
      break;
    case Command::Leave:
      close();
      break;
    case Command::Convert:
      Convert();
      break;
    case Command::ConvertToBin:
      OpenBinDialog();
      break;
    case Command::LcdPreview:
      OpenLcdPreview();
      break;
    case Command::ManageProfiles:
      OpenProfileManager();
      break;
    case Command::About:
      OpenAboutWindow();
      break;
    default: {
      if (const int n = RecentFileEntry(command)) OpenRecentFile(n);
    }
  }
  UpdateEditingCommands();
}

void MainWindow::EditingCommand(Command command) {
  CodeEditor* target = m_editTarget;
  if (target == nullptr) return;
  switch (command) {
    case Command::Undo:
      if (target == m_source && m_source->CanUndo()) m_source->Undo();
      return;
    case Command::Redo:
      if (target == m_source && m_source->CanRedo()) m_source->Redo();
      return;
    case Command::Cut:
      target->Cut();
      break;
    case Command::Copy:
      target->Copy();
      break;
    case Command::Paste:
      target->Paste();
      break;
    case Command::SelectAll:
      target->SelectAll();
      break;
    case Command::SaveToFile:
      SaveEditorToFile(target);
      break;
    default:
      return;
  }
  target->setFocus();
}

void MainWindow::ProfileChosen(int) {
  LoadSelectedProfile();
  m_source->setFocus();
}

void MainWindow::Convert() {
  const std::string name = SelectedProfileName();
  if (name.empty()) {
    ShowWarning(m_prompter, kConversionTitle, "Не выбран профиль!");
    m_source->setFocus();
    return;
  }
  const Result<bool> loaded = LoadProfile(m_paths.profiles, name, m_currentProfile);
  if (!loaded) {
    m_prompter.Show(loaded.Reason());
    m_source->setFocus();
    return;
  }
  if (!*loaded) {
    m_selector->clear();
    // A file that is there but not text the program reads is not "missing".
    const ProfileListRead listed = ReadProfileList(m_paths.profiles);
    const std::string refusal = listed ? std::string() : listed.Reason().refusal;
    ShowError(m_prompter, "Ошибка",
              refusal.empty() ? "Файл  \n\"" + m_paths.profiles + "\"\nне обнаружен"
                              : RefusedProfileFileText(m_paths.profiles, refusal));
    m_source->setFocus();
    return;
  }
  LoadedProfile();
  if (m_source->length() == 0) {
    ShowWarning(m_prompter, kConversionTitle, "Отсутствует преобразуемый текст");
    m_source->setFocus();
    return;
  }
  m_converting = true;
  std::vector<CgramReport> overflows;
  {
    // The progress window comes first: reading a long text and making its
    // data lines are the work it shows and stops.
    std::unique_ptr<ProgressWindow> progress;
    if (MoreCharactersThan(m_source->Utf8Text(), 100)) {
      progress = std::make_unique<ProgressWindow>(this, m_prompter);
      emit progressWindowOpened(progress.get());
    }
    EngineText text = ReadForConversion(m_source->Utf8Text(), progress.get());
    m_currentProfile.Preview = 0;
    // The data lines go into the editor piece by piece as they are made, so
    // that Cancel is looked at until the last of them is in. Text that
    // Windows-1251 cannot hold gives them in UTF-8.
    EditorFeed feed(*m_output, !text.OnBytePath());
    ConvertOwnedTextTo(std::move(text), m_currentProfile, feed, progress.get(), &overflows);
    feed.Finish();
  }
  m_converting = false;
  activateWindow();
  // One message for the whole conversion, once its lines are all in.
  if (!overflows.empty()) {
    ShowInformation(m_prompter, "Преобразование", CgramOverflowText(overflows));
  }
  m_source->setFocus();
}

// Text documents.

void MainWindow::NewDocument() {
  if (m_document->AskBeforeDiscarding()) m_document->Clear();
  m_source->setFocus();
}

void MainWindow::OpenDocument() {
  if (m_document->AskBeforeDiscarding()) {
    if (const auto path = AskForTextFile(FileRequest::Mode::Open)) m_document->Open(*path);
  }
  m_source->setFocus();
}

void MainWindow::OpenImage() {
  if (m_document->AskBeforeDiscarding()) {
    FileRequest request;
    request.mode = FileRequest::Mode::Open;
    request.title = "Открываем образ";
    request.folder = FolderOf(m_settings.RecentFiles[0]);
    request.filters = {{"Образы (*.bin *.hex *.ihx)", "*.bin *.hex *.ihx"},
                       {"Двоичные файлы (*.bin)", "*.bin"},
                       {"Файлы Intel HEX (*.hex *.ihx)", "*.hex *.ihx"},
                       {"Все файлы", "*.*"}};
    if (const std::optional<std::string> path = m_requester.Choose(request)) {
      ImageOpenDialog dialog(DialogParent(this), *path, m_display.Rom(), m_layout);
      const FrontAgainAfterwards front(this);
      if (dialog.exec() == QDialog::Accepted) {
        const Result<std::string> text = DecodeImageFile(*path, *dialog.Decoding());
        if (!text) {
          m_prompter.Show(text.Reason());
        } else if (text->empty()) {
          ShowWarning(m_prompter, "Открыть образ",
                      "В файле \n\"" + *path + "\"\nнет данных по указанным адресам.");
        } else {
          // A new text that no file holds yet: Save asks for a name, and
          // leaving asks to save it.
          m_document->Clear();
          m_source->SetUtf8Text(*text);
        }
      }
    }
  }
  m_source->setFocus();
}

void MainWindow::SaveEditorToFile(CodeEditor* editor) {
  if (const auto chosen = AskForTextFile(FileRequest::Mode::Save)) {
    const std::string path = CompleteExtension(*chosen);
    // The data lines go out in the document's encoding, without a byte-order
    // mark: assemblers and compilers may not expect one. Neither editor's
    // text becomes the document of that file.
    const TextFormat format = editor == m_source ? m_document->Format()
                                                 : TextFormat{m_document->Format().encoding, false};
    if (WriteEditorText(*editor, path, format, m_prompter)) FileUsed(path);
  }
  editor->setFocus();
}

void MainWindow::OpenRecentFile(int n) {
  const std::string path = m_settings.RecentFiles[n - 1];
  if (!path.empty() && m_document->AskBeforeDiscarding()) m_document->Open(path);
  m_source->setFocus();
}

std::optional<std::string> MainWindow::AskForTextFile(FileRequest::Mode mode) {
  return m_requester.Choose(TextFileRequest(mode, FolderOf(m_settings.RecentFiles[0])));
}

void MainWindow::ChooseEncoding(TextEncoding encoding) {
  m_document->ChooseEncoding(encoding);
  // A refused change leaves the encoding the document has checked.
  UpdateEncodingMenu();
  m_source->setFocus();
}

void MainWindow::FileUsed(const std::string& path) {
  SetPathField(path);
  RecordRecent(path);
}

void MainWindow::RecordRecent(const std::string& path) {
  const RecentFileLabels labels = RecordRecentFile(m_settings.RecentFiles, path);
  for (int n = 1; n <= kRecentFileCount; ++n) SetRecentLabel(n, labels[n - 1]);
}

void MainWindow::SetRecentLabel(int n, const std::string& label) {
  // A menu text takes "&" for a mnemonic; a path shows it as it is.
  m_recentItems[n - 1]->setText(FromUtf8(label).replace('&', "&&"));
}

void MainWindow::SetPathField(const std::string& path) {
  m_shownPath = path;
  ShowPathField();
}

void MainWindow::ShowPathField() {
  if (m_shownPath.empty()) {
    m_pathField->clear();
    m_pathField->setToolTip({});
    return;
  }
  // The encoding always shows; a path too long for the field loses its start.
  const QString suffix = QString(" — ") + EncodingName(m_document->Format().encoding);
  const QString path = FromUtf8(m_shownPath);
  const QFontMetrics metrics = m_pathField->fontMetrics();
  const int room = m_pathField->contentsRect().width() - metrics.horizontalAdvance(suffix);
  m_pathField->setText(metrics.elidedText(path, Qt::ElideLeft, std::max(room, 0)) + suffix);
  m_pathField->setToolTip(path + suffix);
}

void MainWindow::OpenDroppedFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  const std::string path = LocalFileName(paths.first());
  if (IsNonEmptyRegularFile(path)) m_document->Open(path);
}

void MainWindow::OpenCommandLineFile(const QString& argument) {
  const std::string path = LocalFileName(argument);
  // The document stays unnamed: the first Save asks for a name.
  if (IsNonEmptyRegularFile(path)) m_document->Load(path);
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
  if (event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
  event->acceptProposedAction();
  OpenDroppedFiles(DroppedFiles(event->mimeData()));
}

// The secondary windows.

void MainWindow::OpenBinDialog() {
  if (m_binDialog) {
    BringToFront(m_binDialog.get());
    return;
  }
  // Centred over the window the user is in, normally this one.
  QWidget* active = QApplication::activeWindow();
  // The dialog works on the options record itself, so they are saved at exit.
  m_binDialog = std::make_unique<BinDialog>(
      m_settings.Bin, [this] { return EngineText::FromUtf8(m_source->Utf8Text()); },
      [this] { return m_display; },
      [this]() -> std::optional<CgramSetup> {
        if (m_currentProfile.Cgram == 0) return std::nullopt;
        return CgramSetupOf(m_currentProfile);
      },
      m_layout, m_prompter, m_requester);
  ReleaseWhenClosed(this, m_binDialog);
  m_binDialog->Open(active != nullptr ? active : this);
}

void MainWindow::OpenAboutWindow() {
  if (m_aboutWindow) {
    m_aboutWindow->Activate();
    return;
  }
  m_aboutWindow = std::make_unique<AboutWindow>(*m_links);
  ReleaseWhenClosed(this, m_aboutWindow);
  m_aboutWindow->Open(this);
}

void MainWindow::OpenLcdPreview() {
  if (m_lcdPreview) {
    BringToFront(m_lcdPreview.get());
    return;
  }
  // The window shows the source editor's text and caret, and a click on the
  // screen puts the caret in the editor.
  PreviewSource source;
  source.text = [this] { return EngineText::FromUtf8(m_source->Utf8Text()); };
  source.caretLine = [this] {
    int line = 0;
    int index = 0;
    m_source->getCursorPosition(&line, &index);
    return static_cast<std::size_t>(std::max(line, 0));
  };
  source.placeCaret = [this](std::size_t line, std::size_t character) {
    // QScintilla counts the index in characters, as the layout does.
    m_source->setCursorPosition(static_cast<int>(line), static_cast<int>(character));
    m_source->ensureCursorVisible();
    activateWindow();
    m_source->setFocus();
  };
  // The window writes its choices into the settings record, saved at exit.
  m_lcdPreview = std::make_unique<LcdPreviewWindow>(std::move(source), m_settings.Lcd,
                                                    ProfileDisplayOf(m_currentProfile), m_prompter,
                                                    m_requester);
  connect(m_source, &QsciScintilla::textChanged, m_lcdPreview.get(),
          &LcdPreviewWindow::TextChanged);
  connect(m_source, &QsciScintilla::cursorPositionChanged, m_lcdPreview.get(),
          &LcdPreviewWindow::CaretMoved);
  ReleaseWhenClosed(this, m_lcdPreview);
  m_lcdPreview->Open(this);
}

void MainWindow::CloseSecondaryWindows() {
  if (m_binDialog) m_binDialog->close();
  if (m_lcdPreview) m_lcdPreview->close();
  if (m_aboutWindow) m_aboutWindow->CloseWithoutFade();
}

AppSettings MainWindow::CurrentSettings() const {
  AppSettings settings = m_settings;
  settings.X = pos().x();
  settings.Y = pos().y();
  settings.W = width();
  settings.H = height();
  settings.R = m_splitter->sizes().value(0);
  settings.Pos = m_selector->currentIndex();
  return settings;
}

void MainWindow::closeEvent(QCloseEvent* event) {
  if (m_converting || !m_document->AskBeforeDiscarding()) {
    event->ignore();
    m_source->setFocus();
    return;
  }
  // Another program holding the file past the wait is the one failure told:
  // the user should know that this run's settings are not kept.
  if (const FileStatus saved = SaveSettings(m_paths.settings, CurrentSettings()); saved.IsBusy()) {
    ShowWarning(m_prompter, kTitle,
                "Настройки не сохранены:\n" + m_paths.settings + "\n" + AsSentence(saved.Reason()));
  }
  CloseSecondaryWindows();
  event->accept();
  emit closed();
}

std::unique_ptr<MainWindow> StartUp(const ProgramPaths& paths, const QStringList& arguments,
                                    Prompter& prompter, FileRequester& requester) {
  AppSettings settings = LoadSettings(paths.settings);
  CorrectStoredGeometry(settings);
  FitStoredGeometryToScreens(settings, AvailableScreenAreas());
  // The profile database question comes before any window exists; a
  // database that cannot be created ends the program before one is built.
  if (const Result<bool> present = CreateDefaultProfiles(paths.profiles, prompter); !present) {
    prompter.Show(present.Reason());
    return nullptr;
  }
  auto window = std::make_unique<MainWindow>(paths, settings, prompter, requester);
  window->ShowAtStart();
  if (arguments.size() > 1) window->OpenCommandLineFile(arguments.at(1));
  return window;
}

}  // namespace zeltrix
