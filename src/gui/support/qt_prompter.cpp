#include "gui/support/qt_prompter.h"

#include <QMessageBox>

#include "gui/support/dialog_parent.h"

namespace zeltrix {
namespace {

QMessageBox::Icon ToIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButton ToButton(MessageAnswer answer) {
  switch (answer) {
    case MessageAnswer::Ok:
      return QMessageBox::Ok;
    case MessageAnswer::Yes:
      return QMessageBox::Yes;
    case MessageAnswer::No:
      return QMessageBox::No;
    case MessageAnswer::Cancel:
      return QMessageBox::Cancel;
  }
  return QMessageBox::NoButton;
}

}  // namespace

MessageAnswer QtPrompter::Show(const Message& message) {
  QMessageBox::StandardButtons buttons = QMessageBox::Ok;
  MessageAnswer closed = MessageAnswer::Ok;  // what closing the box means
  switch (message.buttons) {
    case MessageButtons::Ok:
      break;
    case MessageButtons::YesNo:
      buttons = QMessageBox::Yes | QMessageBox::No;
      closed = MessageAnswer::No;
      break;
    case MessageButtons::YesNoCancel:
      buttons = QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
      closed = MessageAnswer::Cancel;
      break;
  }
  QWidget* parent = DialogParent(m_parent);
  QMessageBox box(ToIcon(message.icon), QString::fromStdString(message.title),
                  QString::fromStdString(message.text), buttons, parent);
  box.setDefaultButton(ToButton(message.defaultButton));
  box.setEscapeButton(ToButton(closed));
  const int answer = box.exec();
  ReturnTo(parent);
  switch (answer) {
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    default:
      return closed;
  }
}

}  // namespace zeltrix
