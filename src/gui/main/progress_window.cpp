#include "gui/main/progress_window.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <climits>

#include "gui/support/fixed_layout.h"
#include "gui/support/window_placement.h"

namespace zeltrix {
namespace {

constexpr int kLongestWaitForTheScreenMs = 500;
constexpr int kClientWidth = 210;
constexpr int kClientHeight = 90;
constexpr int kTitleHeight = 16;  // narrow, as a tool window's caption
constexpr int kBorder = 1;

}  // namespace

ProgressWindow::ProgressWindow(QWidget* owner, Prompter& prompter)
    // No parent widget: a disabled owner would disable its child windows too.
    // No frame from the desktop either, which would put its window buttons
    // on it: the window draws its own narrow title bar, and Cancel is the
    // only way to ask for a stop.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint),
      m_owner(owner),
      m_prompter(prompter, this) {
  setObjectName("progressWindow");
  setWindowTitle("    Преобразование данных");
  setFixedSize(kClientWidth + 2 * kBorder, kTitleHeight + kClientHeight + 2 * kBorder);

  m_title = new QLabel(windowTitle(), this);
  m_title->setObjectName("progressTitleBar");
  m_title->setAutoFillBackground(true);
  // The press on the title moves the window; the title itself takes no click.
  m_title->setAttribute(Qt::WA_TransparentForMouseEvents);
  QPalette caption = m_title->palette();
  caption.setColor(QPalette::Window, palette().color(QPalette::Active, QPalette::Highlight));
  caption.setColor(QPalette::WindowText,
                   palette().color(QPalette::Active, QPalette::HighlightedText));
  m_title->setPalette(caption);
  QFont captionFont = FixedLayoutFont();
  captionFont.setBold(true);
  m_title->setFont(captionFont);

  // The window's own area, below the title, with the controls in it.
  m_client = new QWidget(this);
  m_client->setObjectName("progressClient");
  m_caption = new QLabel("Прогресс преобразования текста", m_client);
  m_bar = new QProgressBar(m_client);
  m_bar->setObjectName("progressBar");
  m_bar->setRange(0, 10);
  m_bar->setTextVisible(false);
  m_cancel = new QPushButton("Отмена", m_client);
  m_cancel->setObjectName("cancelButton");

  constexpr int kClientTop = kBorder + kTitleHeight;
  PlaceControls({
      {m_title, {kBorder, kBorder, kClientWidth, kTitleHeight}},
      {m_client, {kBorder, kClientTop, kClientWidth, kClientHeight}},
      {m_caption, {kBorder + 20, kClientTop + 8, 190, 15}},
      {m_bar, {kBorder + 20, kClientTop + 28, 170, 16}},
      {m_cancel, {kBorder + 64, kClientTop + 58, 70, 24}},
  });
  FitText(m_caption);
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
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::Shadow));
  painter.drawRect(rect().adjusted(0, 0, -1, -1));
  m_painted = true;
}

void ProgressWindow::mousePressEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !m_title->geometry().contains(event->pos())) {
    QWidget::mousePressEvent(event);
    return;
  }
  // The desktop moves the window where it can; elsewhere the window follows the pointer.
  if (windowHandle() != nullptr && windowHandle()->startSystemMove()) return;
  m_dragOffset = event->globalPosition().toPoint() - pos();
  m_dragging = true;
}

void ProgressWindow::mouseMoveEvent(QMouseEvent* event) {
  if (m_dragging) move(event->globalPosition().toPoint() - m_dragOffset);
}

void ProgressWindow::mouseReleaseEvent(QMouseEvent* event) {
  m_dragging = false;
  QWidget::mouseReleaseEvent(event);
}

void ProgressWindow::closeEvent(QCloseEvent* event) {
  // Only the end of the run closes the window (by destroying it).
  event->ignore();
}

}  // namespace zeltrix
