#pragma once

#include <QPointer>
#include <QWidget>

#include "core/ui/prompter.h"

namespace zeltrix {

/** Shows the program's messages and questions as modal message boxes over a window. */
class QtPrompter : public Prompter {
 public:
  explicit QtPrompter(QWidget* parent = nullptr) : m_parent(parent) {}
  void SetParent(QWidget* parent) { m_parent = parent; }
  MessageAnswer Show(const Message& message) override;

 private:
  QPointer<QWidget> m_parent;
};

}  // namespace zeltrix
