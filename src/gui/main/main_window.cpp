#include "gui/main/main_window.h"

#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFontMetrics>
#include <QIcon>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QShortcut>
#include <QSplitter>
#include <QStatusBar>
#include <QToolBar>
#include <QVBoxLayout>

#include "core/io/cp1251.h"
#include "core/io/text_encoding.h"
#include "core/io/text_file.h"
#include "core/lcd/formatter.h"
#include "core/profiles/profile_database.h"
#include "gui/dialogs/about_window.h"
#include "gui/dialogs/bin_dialog.h"
#include "gui/dialogs/project_info.h"
#include "gui/lcd/lcd_preview_window.h"
#include "gui/main/code_editor.h"
#include "gui/main/progress_window.h"
#include "gui/profiles/profile_window.h"
#include "gui/support/app_identity.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/owned_window.h"
#include "gui/support/qt_text.h"
#include "gui/support/screen_areas.h"

namespace zeltrix {
namespace {

const char* const kTitle = kProgramNameAndVersion;
const char* const kConversionTitle = "Преобразование текста";

QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }

// The question before characters without a code in the encoding are replaced.
std::string CharactersWithoutCode(TextEncoding encoding, const char* question) {
  return std::string("Текст содержит символы, которых нет в кодировке ") + EncodingName(encoding) +
         ".\nВ файле они будут заменены знаком подстановки. " + question;
}

QIcon OwnIcon(const char* name) { return QIcon(QString(":/icons/%1.svg").arg(name)); }

QIcon ThemeIcon(const char* themeName, const char* ownName) {
  return QIcon::fromTheme(themeName, OwnIcon(ownName));
}

// Every command of the window with its menu text and its key. A key is
// written only here: the menu labels, the shortcuts and the keys the editors
// leave to the window all come from the actions made of this table.
struct CommandText {
  Command command;
  const char* text;
  QKeySequence key;
};
const CommandText kCommandTexts[] = {
    {Command::New, "Новый", Qt::CTRL | Qt::Key_N},
    {Command::Open, "Открыть", Qt::CTRL | Qt::Key_O},
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

QAction* MainWindow::MakeCommand(Command command, const QString& text, const QKeySequence& key) {
  auto* action = new QAction(text, this);
  action->setIconVisibleInMenu(false);
  action->setShortcut(key);
  connect(action, &QAction::triggered, this, [this, command] { Execute(command); });
  m_actions[command] = action;
  return action;
}

QAction* MainWindow::CommandAction(Command command) const {
  const auto found = m_actions.find(command);
  return found == m_actions.end() ? nullptr : found->second;
}

QList<QKeySequence> MainWindow::WindowKeys() const {
  QList<QKeySequence> keys;
  for (const auto& [command, action] : m_actions) {
    if (!action->shortcut().isEmpty()) keys << action->shortcut();
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
  UpdateEncodingMenu();
}

void MainWindow::UpdateEncodingMenu() {
  for (std::size_t i = 0; i < std::size(kTextEncodings); ++i) {
    m_encodingItems[i]->setChecked(kTextEncodings[i] == m_format.encoding);
  }
}

void MainWindow::BindWindowKeys() {
  for (const auto& [command, action] : m_actions) {
    if (action->shortcut().isEmpty()) continue;
    // A disabled action would hand its key on to the focused control (the
    // profile selector would search its list with Ctrl+A); a command of the
    // window that is off must take its key and do nothing. So the window
    // holds the key, and the action's own binding only serves its open menu.
    action->setShortcutContext(Qt::WidgetShortcut);
    auto* shortcut = new QShortcut(action->shortcut(), this);
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
    MakeCommand(entry.command, MenuLabel(entry.text, entry.key), entry.key);
  }
  BindWindowKeys();
  const RecentFileLabels labels = RecentFileMenuLabels(m_settings.RecentFiles);
  for (int n = 1; n <= kRecentFileCount; ++n) {
    m_recentItems[n - 1] = MakeCommand(RecentFileCommand(n), QString(), {});
    SetRecentLabel(n, labels[n - 1]);
  }

  QMenu* file = menuBar()->addMenu("Файл");
  AddMenuItems(file, {Command::New, Command::Open, Command::Save, Command::SaveAs});
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
  if (const auto names = ListProfiles(m_paths.profiles)) {
    m_selector->clear();
    for (const std::string& name : *names) {
      m_selector->addItem(FromCp1251(name), QByteArray::fromStdString(name));
    }
  }
}

void MainWindow::LoadSelectedProfile() {
  if (LoadProfile(m_paths.profiles, SelectedProfileName(), m_currentProfile, m_prompter) ==
      kLoadDone) {
    LoadedProfile();
  }
  m_actions.at(Command::Convert)->setEnabled(m_selector->count() > 0);
}

std::string MainWindow::SelectedProfileName() const {
  return m_selector->currentIndex() < 0 ? std::string()
                                        : m_selector->currentData().toByteArray().toStdString();
}

void MainWindow::LoadedProfile() { m_output->SetCommentMarker(m_currentProfile.Comment); }

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
                                      m_currentProfile, m_prompter, m_requester);
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
  connect(m_source, &QsciScintilla::modificationChanged, this, &MainWindow::SetModifiedIndicator);
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
    case Command::Save:
      SaveDocument();
      m_source->setFocus();
      break;
    case Command::SaveAs:
      SaveDocumentAs();
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
      if (target == m_source && m_source->CanUndo())
        m_source->SendScintilla(QsciScintillaBase::SCI_UNDO);
      return;
    case Command::Redo:
      if (target == m_source && m_source->CanRedo())
        m_source->SendScintilla(QsciScintillaBase::SCI_REDO);
      return;
    case Command::Cut:
      target->SendScintilla(QsciScintillaBase::SCI_CUT);
      break;
    case Command::Copy:
      target->SendScintilla(QsciScintillaBase::SCI_COPY);
      break;
    case Command::Paste:
      target->SendScintilla(QsciScintillaBase::SCI_PASTE);
      break;
    case Command::SelectAll:
      target->SendScintilla(QsciScintillaBase::SCI_SELECTALL);
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
  switch (LoadProfile(m_paths.profiles, name, m_currentProfile, m_prompter)) {
    case kLoadDone:
      LoadedProfile();
      break;
    case kLoadNoFile:
      m_selector->clear();
      ShowError(m_prompter, "Ошибка", "Файл  \n\"" + m_paths.profiles + "\"\nне обнаружен");
      m_source->setFocus();
      return;
    case kLoadNotFound:
      m_source->setFocus();
      return;
  }
  const std::string text = m_source->Cp1251Text();
  if (text.empty()) {
    ShowWarning(m_prompter, kConversionTitle, "Отсутствует преобразуемый текст");
    m_source->setFocus();
    return;
  }
  m_converting = true;
  {
    std::unique_ptr<ProgressWindow> progress;
    if (text.size() > 100) {
      progress = std::make_unique<ProgressWindow>(this, m_prompter);
      emit progressWindowOpened(progress.get());
    }
    m_currentProfile.Preview = 0;
    m_output->SetCp1251Text(ConvertText(text, m_currentProfile, progress.get()));
  }
  m_converting = false;
  activateWindow();
  m_source->setFocus();
}

// Text documents.

bool MainWindow::AskBeforeDiscarding() {
  if (!m_source->isModified()) return true;
  switch (
      m_prompter.Show({kTitle, "Текст в файле был модифицирован.\nСохранить его?",
                       MessageIcon::Warning, MessageButtons::YesNoCancel, MessageAnswer::Yes})) {
    case MessageAnswer::Yes:
      // Unsaved text is never dropped: a save that does not happen stops the command.
      return SaveDocument();
    case MessageAnswer::No:
      return true;
    default:
      return false;
  }
}

void MainWindow::NewDocument() {
  if (AskBeforeDiscarding()) {
    m_source->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
    m_source->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
    m_source->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
    m_fileName.clear();
    m_documentPath.clear();
    m_format = {};
    UpdateEncodingMenu();
    SetPathField({});
  }
  m_source->setFocus();
}

void MainWindow::OpenDocument() {
  if (AskBeforeDiscarding()) {
    if (const auto path = AskForFile(false)) {
      if (LoadText(m_source, *path)) m_fileName = *path;
    }
  }
  m_source->setFocus();
}

bool MainWindow::SaveDocument() {
  if (m_fileName.empty()) return SaveDocumentAs();
  return SaveText(m_source, m_fileName);
}

bool MainWindow::SaveDocumentAs() {
  const auto chosen = AskForFile(true);
  if (!chosen) return false;
  const std::string path = CompleteExtension(*chosen);
  if (!SaveText(m_source, path)) return false;
  m_fileName = path;
  // A loaded text now lives in this file; a text typed here was never read
  // from one and so is never read again in another encoding.
  if (!m_documentPath.empty()) m_documentPath = path;
  return true;
}

void MainWindow::SaveEditorToFile(CodeEditor* editor) {
  if (const auto chosen = AskForFile(true)) SaveText(editor, CompleteExtension(*chosen));
  editor->setFocus();
}

void MainWindow::OpenRecentFile(int n) {
  const std::string path = m_settings.RecentFiles[n - 1];
  if (!path.empty() && AskBeforeDiscarding() && LoadText(m_source, path)) m_fileName = path;
  m_source->setFocus();
}

std::optional<std::string> MainWindow::AskForFile(bool save) {
  FileRequest request;
  request.mode = save ? FileRequest::Mode::Save : FileRequest::Mode::Open;
  request.title = save ? "Сохраняем файл" : "Открываем файл";
  request.folder = FolderOf(m_settings.RecentFiles[0]);
  request.filters = {{"Текстовые файлы (txt)", "*.txt"}, {" Всё ", " *.*"}};
  return m_requester.Choose(request);
}

bool MainWindow::LoadText(CodeEditor* editor, const std::string& path,
                          std::optional<TextEncoding> encoding) {
  const std::optional<std::string> bytes = ReadTextFile(path);
  if (!bytes) {
    ShowError(m_prompter, "Ошибка", "Не удалось открыть файл\n" + path);
    return false;
  }
  std::optional<DecodedText> text = DecodeText(*bytes, encoding);
  if (!text) {
    ShowError(m_prompter, "Ошибка", "Файл не является текстом в кодировке UTF-8\n" + path);
    return false;
  }
  editor->SetUtf8Text(text->utf8);
  editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
  editor->SendScintilla(QsciScintillaBase::SCI_EMPTYUNDOBUFFER);
  if (editor == m_source) {
    m_format = text->format;
    m_documentPath = path;
    UpdateEncodingMenu();
  }
  RecordRecent(path);
  SetPathField(path);
  return true;
}

bool MainWindow::SaveText(CodeEditor* editor, const std::string& path) {
  // The data lines go out in the document's encoding, without a byte-order
  // mark: assemblers and compilers may not expect one.
  const TextFormat format = editor == m_source ? m_format : TextFormat{m_format.encoding, false};
  if (!editor->TextFits(format.encoding) &&
      !Confirm(m_prompter, kTitle, CharactersWithoutCode(format.encoding, "Сохранить?"))) {
    return false;
  }
  if (!WriteTextFile(path, EncodeText(editor->Utf8Text(), format))) {
    ShowError(m_prompter, "Ошибка", "Не удалось сохранить файл\n" + path);
    return false;
  }
  editor->SendScintilla(QsciScintillaBase::SCI_SETSAVEPOINT);
  SetPathField(path);
  RecordRecent(path);
  return true;
}

void MainWindow::ChooseEncoding(TextEncoding encoding) {
  if (encoding != m_format.encoding) {
    if (!m_source->isModified() && !m_documentPath.empty()) {
      // An unedited file was perhaps taken for the wrong encoding: read it again.
      LoadText(m_source, m_documentPath, encoding);
    } else if (m_source->TextFits(encoding) ||
               Confirm(m_prompter, kTitle, CharactersWithoutCode(encoding, "Сменить кодировку?"))) {
      m_format = {encoding, false};
      ShowPathField();
    }
  }
  UpdateEncodingMenu();
  m_source->setFocus();
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
  const QString suffix = QString(" — ") + EncodingName(m_format.encoding);
  const QString path = FromUtf8(m_shownPath);
  const QFontMetrics metrics = m_pathField->fontMetrics();
  const int room = m_pathField->contentsRect().width() - metrics.horizontalAdvance(suffix);
  m_pathField->setText(metrics.elidedText(path, Qt::ElideLeft, std::max(room, 0)) + suffix);
  m_pathField->setToolTip(path + suffix);
}

void MainWindow::OpenDroppedFiles(const QStringList& paths) {
  if (paths.isEmpty()) return;
  const std::string path = paths.first().toStdString();
  if (IsNonEmptyRegularFile(path) && LoadText(m_source, path)) m_fileName = path;
}

void MainWindow::OpenCommandLineFile(const QString& argument) {
  const std::string path = argument.toStdString();
  // The document stays unnamed: the first Save asks for a name.
  if (IsNonEmptyRegularFile(path)) LoadText(m_source, path);
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
      m_settings.Bin, [this] { return m_source->Cp1251Text(); }, m_prompter, m_requester);
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
  // The window writes its choices into the settings record, saved at exit.
  m_lcdPreview =
      std::make_unique<LcdPreviewWindow>(*m_source, m_settings.Lcd, m_prompter, m_requester);
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
  if (m_converting || !AskBeforeDiscarding()) {
    event->ignore();
    m_source->setFocus();
    return;
  }
  SaveSettings(m_paths.settings, CurrentSettings());
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
  if (CreateDefaultProfiles(paths.profiles, prompter) == CreateProfilesResult::Fatal) {
    return nullptr;
  }
  auto window = std::make_unique<MainWindow>(paths, settings, prompter, requester);
  window->ShowAtStart();
  if (arguments.size() > 1) window->OpenCommandLineFile(arguments.at(1));
  return window;
}

}  // namespace zeltrix
