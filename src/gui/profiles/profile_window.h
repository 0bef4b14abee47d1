#pragma once

#include <QPointer>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/io/file_stamp.h"
#include "core/profiles/profile_database.h"
#include "core/profiles/profile_record.h"
#include "core/ui/file_requester.h"
#include "core/ui/prompter.h"

class QCheckBox;
class QComboBox;
class QFrame;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QPushButton;
class QSpinBox;

namespace zeltrix {

class ImportWindow;

/**
 * The window "Управление профилями": the list of the profiles in the
 * database with the buttons that import, export, create, edit and delete
 * them, and below it the profile editor with a live sample of the format.
 * While it is open the window it belongs to is disabled; closing it hands
 * the list's current item back through closed().
 */
class ProfileWindow : public QWidget {
  Q_OBJECT

 public:
  enum class Mode { Idle, New, Edit };

  /**
   * Opens the window centred over owner and disables owner. names are the
   * profile selector's entries (Windows-1251) and selected the index of its
   * selected entry; buffer is the record that editing, export and import
   * load profiles into. reports tells the user what is wrong with the
   * database's list; the owner shares it, so that a problem it told already
   * is not told again.
   */
  ProfileWindow(QWidget* owner, std::string databasePath, const std::vector<std::string>& names,
                int selected, ProfileRecord& buffer, Prompter& prompter, FileRequester& requester,
                ProfileListReporter& reports);
  ~ProfileWindow() override;

  /**
   * Whether a profile is being made or edited; the window shows it only
   * through the controls it enables and the colour it gives the name.
   */
  Mode EditMode() const { return m_mode; }

 signals:
  /** The window was closed; currentIndex is its list's current item, -1 for none. */
  void closed(int currentIndex);

 protected:
  void closeEvent(QCloseEvent* event) override;
  /** Coming to the front, the window shows what other programs did to the profiles meanwhile. */
  void changeEvent(QEvent* event) override;

 private:
  void BuildList();
  void BuildEditor();
  void LayOutControls();
  void ConnectEditor();

  void FillList(const std::vector<std::string>& names);
  void RefillList();
  void RefreshList(bool tell = true);
  void RefillKeepingChoice(const std::vector<std::string>& names);
  std::string ItemName(int row) const;
  std::vector<std::string> ListNames() const;
  void SetListEnabled(bool enabled);

  void DisableEditor();
  void EnableEditor();
  void ApplyEnablingRules();
  void ClearEditor();
  void FillEditor(const ProfileRecord& record);
  ProfileRecord ReadEditor() const;
  void RefreshSample();
  std::string NameText() const;
  void UpdateNameColour();
  void SetNameColour(const QColor& colour);
  bool RepeatsListName(const std::string& name, int skipRow) const;

  void NewProfile();
  void EditProfile();
  void DeleteSelected();
  void Accept();
  void CancelEdit();
  void EndEdit();
  void ExportSelected();
  void ImportFromFile();

  QPointer<QWidget> m_owner;
  std::string m_databasePath;
  ProfileRecord& m_buffer;
  Prompter& m_prompter;
  FileRequester& m_requester;
  Mode m_mode = Mode::Idle;
  std::string m_oldName;
  // The profile as it was loaded for editing: the fields the editor does not
  // show are saved as they were.
  ProfileRecord m_edited;
  FileStamp m_listed;  // the database as the list shows it
  ProfileListReporter& m_reports;
  // What a quiet refresh found wrong, told by the next refresh that may speak.
  std::optional<ProfileListRead> m_untold;
  bool m_updating = false;  // set while the program itself fills the editor
  bool m_open = true;
  std::unique_ptr<ImportWindow> m_importWindow;

  QLabel* m_listCaption = nullptr;
  QListWidget* m_list = nullptr;
  QPushButton* m_import = nullptr;
  QPushButton* m_export = nullptr;
  QPushButton* m_new = nullptr;
  QPushButton* m_edit = nullptr;
  QPushButton* m_delete = nullptr;

  QFrame* m_frame = nullptr;
  QLabel* m_nameCaption = nullptr;
  QLineEdit* m_name = nullptr;
  QCheckBox* m_deleteSumbolError = nullptr;
  QCheckBox* m_deleteSpace = nullptr;
  QSpinBox* m_countSpace = nullptr;
  QLabel* m_ost1Caption = nullptr;
  QSpinBox* m_ost1 = nullptr;
  QLabel* m_ost2Caption = nullptr;
  QSpinBox* m_ost2 = nullptr;
  QLabel* m_directiveCaption = nullptr;
  QLineEdit* m_directive = nullptr;
  QLabel* m_startDataBlokCaption = nullptr;
  QLineEdit* m_startDataBlok = nullptr;
  QLabel* m_endDataBlokCaption = nullptr;
  QLineEdit* m_endDataBlok = nullptr;
  QLabel* m_startDataCaption = nullptr;
  QLineEdit* m_startData = nullptr;
  QLabel* m_baseCaption = nullptr;
  QComboBox* m_base = nullptr;
  QLabel* m_endDataCaption = nullptr;
  QLineEdit* m_endData = nullptr;
  QLabel* m_razdelitelDataCaption = nullptr;
  QLineEdit* m_razdelitelData = nullptr;
  QLabel* m_commentCaption = nullptr;
  QLineEdit* m_comment = nullptr;
  QCheckBox* m_commentState = nullptr;
  QLabel* m_countByteCaption = nullptr;
  QSpinBox* m_countByte = nullptr;
  QCheckBox* m_perenosPoSlovam = nullptr;
  QLabel* m_formatCaption = nullptr;
  QCheckBox* m_countByteToComment = nullptr;
  QPlainTextEdit* m_sample = nullptr;
  QPushButton* m_ok = nullptr;
  QPushButton* m_cancel = nullptr;
  QLabel* m_romCaption = nullptr;
  QComboBox* m_rom = nullptr;
  QCheckBox* m_lookAlikes = nullptr;
  QCheckBox* m_cgram = nullptr;
  QComboBox* m_cgramCodes = nullptr;
  QLabel* m_sizeCaption = nullptr;
  QComboBox* m_size = nullptr;
};

}  // namespace zeltrix
