#pragma once

#include <QPointer>
#include <QWidget>

#include "common/file_requester.h"

namespace zeltrix {

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
