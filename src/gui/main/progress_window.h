#pragma once

#include <QPointer>
#include <QWidget>

#include "core/lcd/formatter.h"
#include "core/ui/prompter.h"
#include "gui/support/dialog_parent.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace zeltrix {

/**
 * The small window that shows how far a long conversion has come and offers
 * "Отмена". While it is open the window it belongs to is disabled; it has no
 * window buttons, only its own narrow title bar, so Cancel is the only way
 * to ask for a stop.
 */
class ProgressWindow : public QWidget, public ConvertObserver {
  Q_OBJECT

 public:
  /** Opens the window centred over owner and disables owner. */
  ProgressWindow(QWidget* owner, Prompter& prompter);
  /** Enables the owner again. */
  ~ProgressWindow() override;

  void SetMaximum(std::size_t maximum) override;
  void SetValue(std::size_t value) override;
  /** Lets the window's events through; after a Cancel click asks whether to stop. */
  bool WantsToStop() override;
  /** Often enough for the bar to move smoothly and a click to be answered at once. */
  std::chrono::milliseconds PollInterval() const override { return std::chrono::milliseconds(40); }

  /**
   * Lets the window's events through, so that it stays drawn and keeps a
   * Cancel click for the next WantsToStop, during work before the run.
   */
  void LetEventsThrough();

 protected:
  void closeEvent(QCloseEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  QPointer<QWidget> m_owner;
  WindowPrompter m_prompter;  // its messages belong to it
  QLabel* m_title = nullptr;
  QWidget* m_client = nullptr;  // the window's own area, below the title
  QLabel* m_caption = nullptr;
  QProgressBar* m_bar = nullptr;
  QPushButton* m_cancel = nullptr;
  bool m_cancelClicked = false;
  bool m_painted = false;
  bool m_dragging = false;
  QPoint m_dragOffset;
  std::size_t m_divisor = 1;  // keeps large lengths within the bar's range
};

}  // namespace zeltrix
