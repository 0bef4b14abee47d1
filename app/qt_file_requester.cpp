#include "app/qt_file_requester.h"

#include <QApplication>
#include <QFileDialog>

namespace zeltrix {

std::optional<std::string> QtFileRequester::Choose(const FileRequest& request) {
  // Over the active window when it takes input: while the profile windows are
  // open the main window is disabled, and so would be a dialog over it.
  QWidget* parent = QApplication::activeWindow();
  if (parent == nullptr || !parent->isEnabled()) parent = m_parent;
  if (parent != nullptr && !parent->isEnabled()) parent = nullptr;
  QFileDialog dialog(parent, QString::fromStdString(request.title),
                     QString::fromStdString(request.folder));
  const bool save = request.mode == FileRequest::Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A typed name of a missing file is let through; the load reports it.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  QStringList filters;
  for (const FileFilter& filter : request.filters) {
    filters << QString::fromStdString(filter.label) + " (" +
                   QString::fromStdString(filter.pattern).trimmed() + ")";
  }
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return dialog.selectedFiles().first().toStdString();
}

}  // namespace zeltrix
