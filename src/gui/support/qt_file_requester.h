#pragma once

#include <QPointer>
#include <QStringList>
#include <QWidget>
#include <vector>

#include "core/ui/file_requester.h"

namespace zeltrix {

/** A file dialog's filters in Qt's form: the label with its pattern in parentheses. */
QStringList NameFilters(const std::vector<FileFilter>& filters);

/** File requesters as Qt file dialogs over a window. */
class QtFileRequester : public FileRequester {
 public:
  explicit QtFileRequester(QWidget* parent = nullptr) : m_parent(parent) {}
  void SetParent(QWidget* parent) { m_parent = parent; }
  std::optional<std::string> Choose(const FileRequest& request) override;

 private:
  QPointer<QWidget> m_parent;
};

}  // namespace zeltrix
