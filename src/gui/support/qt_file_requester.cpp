#include "gui/support/qt_file_requester.h"

#include <QFileDialog>

#include "gui/support/dialog_parent.h"
#include "gui/support/qt_file_names.h"

namespace zeltrix {

QStringList NameFilters(const std::vector<FileFilter>& filters) {
  QStringList names;
  for (const FileFilter& filter : filters) {
    // Qt reads the patterns from the parentheses at the end of a filter.
    const QString label = QString::fromStdString(filter.label);
    const QString pattern = "(" + QString::fromStdString(filter.pattern).trimmed() + ")";
    names << (label.endsWith(pattern) ? label : label + " " + pattern);
  }
  return names;
}

std::optional<std::string> QtFileRequester::Choose(const FileRequest& request) {
  QWidget* parent = DialogParent(m_parent);
  QFileDialog dialog(parent, QString::fromStdString(request.title),
                     QString::fromStdString(request.folder));
  // However the dialog ends, the window it belonged to is in front again.
  const FrontAgainAfterwards front(parent);
  const bool save = request.mode == FileRequest::Mode::Save;
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  // A typed name of a missing file is let through; the load reports it.
  dialog.setFileMode(QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  const QStringList filters = NameFilters(request.filters);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.first());
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  return ChosenFileName(dialog.selectedFiles().first());
}

}  // namespace zeltrix
