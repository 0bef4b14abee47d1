#pragma once

#include <QPointer>
#include <QWidget>
#include <functional>
#include <string>
#include <vector>

#include "core/io/file_stamp.h"
#include "core/ui/prompter.h"

class QLabel;
class QPushButton;
class QStatusBar;
class QTableWidget;

namespace zeltrix {

/**
 * The window "Загрузка профилей": the profiles of an exchange file, each
 * with a tick, those whose names the database already has drawn red and
 * left unticked; "Загрузить" copies the ticked ones into the database.
 * While it is open the window it belongs to is disabled.
 */
class ImportWindow : public QWidget {
  Q_OBJECT

 public:
  /**
   * Opens the window centred over owner for the profile file at path and
   * disables owner. existingNames are the names of the owner's profile
   * list (Windows-1251).
   */
  ImportWindow(QWidget* owner, std::string path, std::string databasePath,
               const std::vector<std::string>& existingNames, Prompter& prompter);
  ~ImportWindow() override;

  /** Replaces the sound played when a tick button finds nothing to do. */
  void SetInformationSound(std::function<void()> sound) { m_sound = std::move(sound); }

 signals:
  /** Profiles were copied into the database. */
  void imported();
  /** The window was closed. */
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;
  /** Coming to the front, the window marks names that other programs added to the database. */
  void changeEvent(QEvent* event) override;

 private:
  void FillList();
  int RefreshRepeats();
  std::string RowName(int row) const;
  bool Ticked(int row) const;
  void SetTicked(int row, bool ticked);
  void TickSelected();
  void UntickSelected();
  void TickAll(bool ticked);
  void Load();

  QPointer<QWidget> m_owner;
  std::string m_path;
  std::string m_databasePath;
  std::vector<std::string> m_existing;  // lowered
  std::vector<bool> m_repeated;         // per row
  FileStamp m_listed;                   // the database as m_existing knows it
  Prompter& m_prompter;
  std::function<void()> m_sound;
  bool m_open = true;

  QTableWidget* m_list = nullptr;
  QPushButton* m_tick = nullptr;
  QPushButton* m_untick = nullptr;
  QPushButton* m_tickAll = nullptr;
  QPushButton* m_untickAll = nullptr;
  QPushButton* m_load = nullptr;
  QPushButton* m_cancel = nullptr;
  QStatusBar* m_statusBar = nullptr;
  QLabel* m_countField = nullptr;
  QLabel* m_pathField = nullptr;
};

}  // namespace zeltrix
