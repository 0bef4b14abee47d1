#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>

#include "gui/profiles/import_window.h"
#include "gui/profiles/profile_window.h"
#include "tests/gui/main/main_window_fixture.h"
#include "tests/support/cp1251_text.h"

namespace zeltrix::testing {

/** The main window with its profile management window opened from the menu command. */
class ProfileWindowTest : public MainWindowTest {
 protected:
  /** Starts with the database bytes given and opens the window with the selector at index. */
  ProfileWindow* Open(const std::string& database = kDefaultDatabase, int selected = 0) {
    WriteBytes(Paths().profiles, database);
    if (Start() == nullptr) return nullptr;
    window->ProfileSelector()->setCurrentIndex(selected);
    return Reopen();
  }

  /** Opens the window again from the main window's command. */
  ProfileWindow* Reopen() {
    window->Execute(Command::ManageProfiles);
    manager = OpenWindow<ProfileWindow>("profileWindow");
    // Activation comes as an event of its own.
    if (manager != nullptr) {
      EXPECT_TRUE(QTest::qWaitFor([this] { return QApplication::activeWindow() == manager; }));
    }
    return manager;
  }

  /** The one visible top-level window of that name, or null. */
  template <class T>
  static T* OpenWindow(const char* name) {
    T* found = nullptr;
    int count = 0;
    for (QWidget* w : QApplication::topLevelWidgets()) {
      if (w->objectName() == name && w->isVisible()) {
        found = qobject_cast<T*>(w);
        ++count;
      }
    }
    EXPECT_LE(count, 1) << name;
    return found;
  }

  template <class T>
  T* Get(const char* name) const {
    T* w = manager->findChild<T*>(name);
    EXPECT_NE(w, nullptr) << name;
    return w;
  }

  QListWidget* List() const { return Get<QListWidget>("profileList"); }
  QLineEdit* Edit(const char* name) const { return Get<QLineEdit>(name); }
  QSpinBox* Spin(const char* name) const { return Get<QSpinBox>(name); }
  QCheckBox* Check(const char* name) const { return Get<QCheckBox>(name); }
  QComboBox* Base() const { return Get<QComboBox>("baseCombo"); }
  QLineEdit* Name() const { return Edit("nameEdit"); }
  void Click(const char* button) const { Get<QPushButton>(button)->click(); }

  /** Replaces a field's text as the user does: select all, then type. */
  static void Retype(QLineEdit* field, const QString& text) {
    field->setFocus();
    field->selectAll();
    if (text.isEmpty()) {
      Key(field, Qt::Key_Delete);
    } else {
      Type(field, text);
    }
  }
  /** Types a new value into a number field. */
  static void Retype(QSpinBox* field, int value) {
    field->setFocus();
    field->selectAll();
    Type(field, QString::number(value));
  }

  std::vector<std::string> ListTexts() const {
    std::vector<std::string> texts;
    for (int row = 0; row < List()->count(); ++row)
      texts.push_back(List()->item(row)->text().toStdString());
    return texts;
  }

  /** Selects exactly the given rows, the last one current, as clicks with Ctrl would. */
  void SelectRows(std::initializer_list<int> rows) const {
    List()->clearSelection();
    for (const int row : rows) {
      List()->setCurrentRow(row, QItemSelectionModel::Select);
    }
  }

  QColor NameColour() const { return Name()->palette().color(QPalette::Text); }

  /** The sample box's lines as the formatter writes them, CR LF line ends included. */
  std::string Sample() const {
    std::string text = Get<QPlainTextEdit>("sampleBox")->toPlainText().toStdString();
    std::string out;
    for (const char c : text) {
      if (c == '\n') out += '\r';
      out += c;
    }
    return out;
  }

  /** The open import window, or null. */
  ImportWindow* Importer() const { return OpenWindow<ImportWindow>("importWindow"); }

  ProfileWindow* manager = nullptr;
};

}  // namespace zeltrix::testing
