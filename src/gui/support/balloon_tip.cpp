#include "gui/support/balloon_tip.h"

#include <QApplication>
#include <QFont>
#include <QHBoxLayout>
#include <QHelpEvent>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>
#include <QTimer>
#include <QToolTip>
#include <QVBoxLayout>
#include <QWidget>
#include <algorithm>
#include <memory>

namespace zeltrix {
namespace {

constexpr int kMaxWidth = 250;
constexpr int kMargin = 8;
constexpr int kRadius = 7;
constexpr int kStemHeight = 10;
constexpr int kStemWidth = 12;
constexpr int kStemIndent = 14;  // from the balloon's left edge to the stem's left foot
constexpr int kIconSize = 16;
constexpr int kShownMs = 10000;
// Below the pointer's hot spot, clear of the pointer itself.
constexpr int kBelowPointer = 18;

class Balloon : public QWidget {
 public:
  Balloon() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName("balloonTip");
    setAttribute(Qt::WA_ShowWithoutActivating);
    // The font the balloons of the desktop this program comes from use, or its stand-in.
    QFont::insertSubstitution("MS Sans Serif", "DejaVu Sans");
    setFont(QFont("MS Sans Serif", 8));
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QToolTip::palette().color(QPalette::ToolTipText));
    setPalette(colours);

    m_icon = new QLabel(this);
    m_icon->setObjectName("balloonIcon");
    m_icon->setPixmap(
        style()->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(kIconSize, kIconSize));
    m_title = new QLabel(this);
    m_title->setObjectName("balloonTitle");
    QFont bold = font();
    bold.setBold(true);
    m_title->setFont(bold);
    m_text = new QLabel(this);
    m_text->setObjectName("balloonText");
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    for (QLabel* label : {m_title, m_text}) label->setTextFormat(Qt::PlainText);

    m_hide.setSingleShot(true);
    m_hide.setInterval(kShownMs);
    connect(&m_hide, &QTimer::timeout, this, &QWidget::hide);
  }

  void ShowAt(const QPoint& pointer, const QString& title, const QString& text) {
    const bool titled = !title.isEmpty();
    m_title->setText(title);
    m_title->setVisible(titled);
    m_icon->setVisible(titled);
    m_text->setText(text);

    // The text takes its own width up to the most the balloon allows, and
    // the lines it needs at that width.
    const int room = kMaxWidth - 2 * kMargin;
    const int titleWidth = titled ? kIconSize + 4 + m_title->sizeHint().width() : 0;
    const int textWidth = std::min(room, m_text->fontMetrics().horizontalAdvance(text) + 2);
    const int inner = std::min(room, std::max(titleWidth, textWidth));
    const int titleHeight = titled ? std::max(kIconSize, m_title->sizeHint().height()) + 4 : 0;
    const int textHeight = m_text->heightForWidth(inner);

    // Below the pointer with the stem up; above it, stem down, where the screen ends.
    const QScreen* screen = QGuiApplication::screenAt(pointer);
    const QRect area = screen != nullptr ? screen->availableGeometry() : QRect(0, 0, 1600, 1000);
    const QSize box(inner + 2 * kMargin, titleHeight + textHeight + 2 * kMargin);
    m_stemUp = pointer.y() + kBelowPointer + kStemHeight + box.height() <= area.bottom();
    const int boxTop = m_stemUp ? kStemHeight : 0;
    m_box = QRect(QPoint(0, boxTop), box);
    if (titled) {
      m_icon->setGeometry(kMargin, boxTop + kMargin, kIconSize, kIconSize);
      m_title->setGeometry(kMargin + kIconSize + 4, boxTop + kMargin, inner - kIconSize - 4,
                           std::max(kIconSize, m_title->sizeHint().height()));
    }
    m_text->setGeometry(kMargin, boxTop + kMargin + titleHeight, inner, textHeight);
    setFixedSize(box.width(), box.height() + kStemHeight);

    // The stem's tip points at the pointer; the balloon stays on the screen.
    const QPoint tip = m_stemUp ? pointer + QPoint(0, kBelowPointer) : pointer - QPoint(0, 2);
    QPoint at(tip.x() - kStemIndent, m_stemUp ? tip.y() : tip.y() - height());
    at.setX(std::clamp(at.x(), area.left(), std::max(area.left(), area.right() + 1 - width())));
    m_stemX = std::clamp(tip.x() - at.x(), kRadius, width() - kRadius - kStemWidth);
    move(at);
    setMask(QRegion(Outline().toFillPolygon().toPolygon()));
    show();
    raise();
    m_hide.start();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(palette().color(QPalette::Dark));
    painter.setBrush(QColor(255, 254, 218));
    painter.drawPath(Outline());
  }

 private:
  // The rounded box and its stem, as one outline.
  QPainterPath Outline() const {
    QPainterPath box;
    box.addRoundedRect(QRectF(m_box).adjusted(0.5, 0.5, -0.5, -0.5), kRadius, kRadius);
    QPainterPath stem;
    const double foot = m_stemUp ? m_box.top() + 1 : m_box.bottom();
    const double tip = m_stemUp ? 0.5 : height() - 0.5;
    stem.moveTo(m_stemX, foot);
    stem.lineTo(m_stemX, tip);
    stem.lineTo(m_stemX + kStemWidth, foot);
    stem.closeSubpath();
    return box.united(stem);
  }

  QLabel* m_icon;
  QLabel* m_title;
  QLabel* m_text;
  QTimer m_hide;
  QRect m_box;
  bool m_stemUp = true;
  int m_stemX = kStemIndent;
};

// Takes the control's tooltip event and shows the balloon instead; the
// balloon goes with the pointer, a click, a key or the control's window.
class BalloonFilter : public QObject {
 public:
  BalloonFilter(QWidget* control, const QString& title) : QObject(control), m_title(title) {}

 protected:
  bool eventFilter(QObject* object, QEvent* event) override {
    auto* control = static_cast<QWidget*>(object);
    switch (event->type()) {
      case QEvent::ToolTip:
        if (!m_balloon) m_balloon = std::make_unique<Balloon>();
        m_balloon->ShowAt(static_cast<QHelpEvent*>(event)->globalPos(), m_title,
                          control->toolTip());
        return true;
      case QEvent::Leave:
      case QEvent::MouseButtonPress:
      case QEvent::KeyPress:
      case QEvent::Wheel:
      case QEvent::Hide:
      case QEvent::WindowDeactivate:
        if (m_balloon) m_balloon->hide();
        return false;
      default:
        return false;
    }
  }

 private:
  QString m_title;
  std::unique_ptr<Balloon> m_balloon;
};

}  // namespace

void SetBalloonTip(QWidget* control, const QString& title, const QString& text) {
  control->setToolTip(text);
  control->installEventFilter(new BalloonFilter(control, title));
}

}  // namespace zeltrix
