#include "gui/main/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <climits>

#include "gui/support/fixed_layout.h"

namespace zeltrix {
namespace {

constexpr int kLongestWaitForTheScreenMs = 500;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner, Prompter& prompter)
    // No parent widget: a disabled owner would disable its child windows too.
    : QWidget(nullptr, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      m_owner(owner),
      m_prompter(prompter, this) {
  setObjectName("progressWindow");
  setWindowTitle("    Преобразование данных");
  setFixedSize(210, 90);

  auto* label = new QLabel("Прогресс преобразования текста", this);
  label->setGeometry(20, 8, 190, 15);
  FitText(label);
  m_bar = new QProgressBar(this);
  m_bar->setObjectName("progressBar");
  m_bar->setGeometry(20, 28, 170, 16);
  m_bar->setRange(0, 10);
  m_bar->setTextVisible(false);
  m_cancel = new QPushButton("Отмена", this);
  m_cancel->setObjectName("cancelButton");
  m_cancel->setGeometry(64, 58, 70, 24);
  connect(m_cancel, &QPushButton::clicked, this, [this] { m_cancelClicked = true; });

  ShowOver(this, owner);
  if (owner != nullptr) owner->setEnabled(false);
  // The long work after this gives the event loop a turn only now and then:
  // the window, and its owner drawn disabled, are on the screen before it
  // starts. A desktop that never shows the window is not waited for long.
  QTimer limit;
  limit.setSingleShot(true);
  limit.start(kLongestWaitForTheScreenMs);
  while (!m_painted && limit.isActive()) {
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
  }
  if (owner != nullptr) owner->repaint();
}

ProgressWindow::~ProgressWindow() {
  if (m_owner) m_owner->setEnabled(true);
}

void ProgressWindow::SetMaximum(std::size_t maximum) {
  m_divisor = maximum / INT_MAX + 1;
  m_bar->setMaximum(static_cast<int>(maximum / m_divisor));
}

void ProgressWindow::SetValue(std::size_t value) {
  m_bar->setValue(static_cast<int>(std::min<std::size_t>(value / m_divisor, m_bar->maximum())));
}

bool ProgressWindow::WantsToStop() {
  QCoreApplication::processEvents();
  if (!m_cancelClicked) return false;
  m_cancelClicked = false;
  return m_prompter.Show({"Преобразование текста",
                          "Вы действительно хотите остановить \nпреобразование текста?",
                          MessageIcon::Question, MessageButtons::YesNo, MessageAnswer::No}) ==
         MessageAnswer::Yes;
}

void ProgressWindow::LetEventsThrough() { QCoreApplication::processEvents(); }

void ProgressWindow::paintEvent(QPaintEvent* event) {
  QWidget::paintEvent(event);
  m_painted = true;
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // Only the end of the run closes the window (by destroying it).
  event->ignore();
}

}  // namespace zeltrix
