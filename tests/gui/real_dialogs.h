#pragma once

#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <deque>
#include <vector>

namespace zeltrix::testing {

/**
 * Answers the program's real message boxes and file dialogs as they come up,
 * from a script, and records over which window each one was shown.
 */
class RealDialogs : public QObject {
 public:
  struct Shown {
    QString title;
    QString text;  ///< a message box's text; empty for a file dialog
    QPointer<QWidget> parent;
  };

  RealDialogs() {
    connect(&m_timer, &QTimer::timeout, this, &RealDialogs::Answer);
    m_timer.start(5);
  }

  std::deque<QMessageBox::StandardButton> buttons;  ///< then: Escape's answer
  std::deque<QString> files;                        ///< an empty path cancels
  std::vector<Shown> shown;

 private:
  void Answer() {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr || !modal->isVisible() || modal->property("answered").toBool()) return;
    modal->setProperty("answered", true);
    if (auto* box = qobject_cast<QMessageBox*>(modal)) {
      shown.push_back({box->windowTitle(), box->text(), box->parentWidget()});
      QAbstractButton* button =
          buttons.empty() ? box->escapeButton() : box->button(buttons.front());
      if (!buttons.empty()) buttons.pop_front();
      if (button != nullptr) button->click();
    } else if (auto* chooser = qobject_cast<QFileDialog*>(modal)) {
      shown.push_back({chooser->windowTitle(), {}, chooser->parentWidget()});
      const QString path = files.empty() ? QString() : files.front();
      if (!files.empty()) files.pop_front();
      if (path.isEmpty()) {
        chooser->reject();
      } else {
        chooser->selectFile(path);
        // Through QDialog, where accept() is public; the file dialog checks the name as for OK.
        static_cast<QDialog*>(chooser)->accept();
      }
    }
  }

  QTimer m_timer;
};

}  // namespace zeltrix::testing
