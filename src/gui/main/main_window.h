#pragma once

#include <QKeySequence>
#include <QList>
#include <QMainWindow>
#include <array>
#include <initializer_list>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include "core/image/hex_layout.h"
#include "core/io/file_stamp.h"
#include "core/io/text_encoding.h"
#include "core/lcd/character_map.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_record.h"
#include "core/settings/app_settings.h"
#include "core/settings/startup_rules.h"
#include "core/ui/file_requester.h"
#include "core/ui/link_opener.h"
#include "core/ui/prompter.h"
#include "gui/main/commands.h"
#include "gui/support/desktop_link_opener.h"

class QAction;
class QComboBox;
class QLabel;
class QMenu;
class QSplitter;
class QToolBar;

namespace zeltrix {

class AboutWindow;
class BinDialog;
class LcdPreviewWindow;
class CodeEditor;
class ProfileWindow;
class TextDocument;

/**
 * The program's main window: menus, toolbar with the profile selector, the
 * source and output editors, the status bar, and the commands behind them.
 * It is built hidden and whole, over a profile database that start-up has
 * already made sure of.
 */
class MainWindow : public QMainWindow {
  Q_OBJECT

 public:
  /** Stands for a separator in a list of menu items. */
  static constexpr Command kSeparator = static_cast<Command>(0);

  MainWindow(const ProgramPaths& paths, const AppSettings& settings, Prompter& prompter,
             FileRequester& requester);
  ~MainWindow() override;

  /** Shows the window with the focus in the source editor and starts taking dropped files. */
  void ShowAtStart();

  /**
   * Loads the file named on the command line, when it is a non-empty regular
   * file; the argument is a name as QtFileName keeps it.
   */
  void OpenCommandLineFile(const QString& argument);

  /** Carries out a command as its menu item, button or shortcut would. */
  void Execute(Command command);

  CodeEditor* SourceEditor() const { return m_source; }
  /** The source editor's text and its file. */
  TextDocument* Document() const { return m_document; }
  CodeEditor* OutputEditor() const { return m_output; }
  QComboBox* ProfileSelector() const { return m_selector; }
  QSplitter* EditorSplitter() const { return m_splitter; }
  const ProfileRecord& CurrentProfile() const { return m_currentProfile; }
  /**
   * The file Save writes to; empty for a new text. The path field may name
   * another file: the last one the output editor was saved in.
   */
  const std::string& CurrentFileName() const;
  const RecentFileList& RecentFiles() const { return m_settings.RecentFiles; }
  QAction* CommandAction(Command command) const;

  /**
   * Fills the profile selector again from the profile database, selects the
   * entry of that index (none when out of range), loads it and enables
   * Convert when there is at least one profile.
   */
  void RefreshProfileSelector(int index);

  /** The settings as they stand now, window geometry included. */
  AppSettings CurrentSettings() const;

  /** Where the About window's links go; the desktop's handlers unless set. */
  void SetLinkOpener(LinkOpener& links) { m_links = &links; }

 signals:
  /** A long conversion opened the progress window. */
  void progressWindowOpened(QWidget* window);
  /** The user has left the program; the settings are written. */
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  /** Coming to the front, the window lists profiles that other programs added meanwhile. */
  void changeEvent(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void BuildMenus();
  void BuildEncodingMenu(QMenu* file);
  void BuildToolbar();
  void BuildStatusBar();
  void BuildEditors();
  void FillProfileSelector(int pos);
  void ListProfilesIntoSelector();
  void LoadSelectedProfile();
  QAction* MakeCommand(Command command, const QString& text);
  /** Adds the commands' actions to a menu; kSeparator adds a separator. */
  void AddMenuItems(QMenu* menu, std::initializer_list<Command> commands);
  /** The keys of the window's commands, which the editors must leave alone. */
  static QList<QKeySequence> WindowKeys();
  void BindWindowKeys();
  void SetRecentLabel(int n, const std::string& label);

  void UpdateEditingCommands();
  void FocusChanged(QWidget* old, QWidget* now);
  void EditingCommand(Command command);
  void ShowContextMenu(CodeEditor* editor, const QPoint& globalPos);
  void SetModifiedIndicator(bool modified);

  void Convert();
  void ProfileChosen(int index);
  std::string SelectedProfileName() const;
  void LoadedProfile();
  void OpenProfileManager();

  // Text documents.
  void NewDocument();
  void OpenDocument();
  /** Reads part of a BIN or Intel HEX image back as the text it shows, as a new text. */
  void OpenImage();
  /** Writes an editor's text into a file the user picks, which does not become the document's. */
  void SaveEditorToFile(CodeEditor* editor);
  void OpenRecentFile(int n);
  std::optional<std::string> AskForTextFile(FileRequest::Mode mode);
  /** A text was read from the file or written into it: the path field and the recent files show it.
   */
  void FileUsed(const std::string& path);
  void RecordRecent(const std::string& path);
  void SetPathField(const std::string& path);
  void ShowPathField();
  void ChooseEncoding(TextEncoding encoding);
  void UpdateEncodingMenu();
  void OpenDroppedFiles(const QStringList& paths);

  // The secondary windows.
  void OpenBinDialog();
  void OpenLcdPreview();
  void OpenAboutWindow();
  void CloseSecondaryWindows();

  ProgramPaths m_paths;
  AppSettings m_settings;
  Prompter& m_prompter;
  FileRequester& m_requester;
  bool m_converting = false;

  ProfileRecord m_currentProfile;
  // The display of the profile the window loaded last: the profile window
  // edits in m_currentProfile meanwhile, and the open BIN dialog must not
  // take the ROM of the profile being edited.
  CharacterMap m_display;
  HexLayout m_layout = HexLayout::Plain;  // of that profile too
  FileStamp m_profilesListed;             // the profile database as the selector shows it
  ProfileListReporter m_profileReports;
  // Secondary windows: the window that opens one owns it through a std::unique_ptr,
  // made when the user asks for it and let go when it reports itself closed (see
  // ReleaseWhenClosed); one still open goes with its owner. No Qt parent owns them:
  // the progress and profile windows must stay usable while their owner is disabled.
  std::unique_ptr<ProfileWindow> m_profileWindow;
  std::string m_shownPath;  // the path in the status bar

  CodeEditor* m_source = nullptr;
  CodeEditor* m_output = nullptr;
  TextDocument* m_document = nullptr;  // the source editor's text, owned as a child
  // The editor the editing commands act on: the one the user was last in, if any.
  CodeEditor* m_editTarget = nullptr;
  QSplitter* m_splitter = nullptr;
  QComboBox* m_selector = nullptr;
  QToolBar* m_toolbar = nullptr;
  QLabel* m_pathField = nullptr;
  QLabel* m_modifiedIndicator = nullptr;
  QMenu* m_contextMenu = nullptr;
  std::array<QAction*, kRecentFileCount> m_recentItems{};
  std::array<QAction*, std::size(kTextEncodings)> m_encodingItems{};
  QAction* m_toolbarUndo = nullptr;
  QAction* m_toolbarRedo = nullptr;
  std::map<Command, QAction*> m_actions;
  std::unique_ptr<BinDialog> m_binDialog;
  std::unique_ptr<LcdPreviewWindow> m_lcdPreview;
  std::unique_ptr<AboutWindow> m_aboutWindow;
  DesktopLinkOpener m_desktopLinks;
  LinkOpener* m_links = &m_desktopLinks;
};

/**
 * Start-up: reads the settings, builds the main window (asking about a
 * missing profile database), shows it and opens the command-line file. The
 * arguments are the program's, as FileNameArguments gives them.
 * Returns nothing when the program must end at once.
 */
std::unique_ptr<MainWindow> StartUp(const ProgramPaths& paths, const QStringList& arguments,
                                    Prompter& prompter, FileRequester& requester);

}  // namespace zeltrix
