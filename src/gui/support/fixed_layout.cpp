#include "gui/support/fixed_layout.h"

#include <qdrawutil.h>
#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLineEdit>
#include <QPainter>
#include <QPalette>
#include <QProxyStyle>
#include <QSpinBox>
#include <QStyleOption>
#include <QToolBar>
#include <QToolButton>
#include <QWidget>
#include <algorithm>
#include <vector>

namespace zeltrix {
namespace {

// The desktop's style with a slimmer arrow strip in number fields, so that a
// field a few digits wide keeps room for its digits.
class SlimArrowStyle : public QProxyStyle {
 public:
  static constexpr int kArrowWidth = 10;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    const auto* spin = qstyleoption_cast<const QStyleOptionSpinBox*>(option);
    if (control != CC_SpinBox || spin == nullptr ||
        spin->buttonSymbols == QAbstractSpinBox::NoButtons) {
      return QProxyStyle::subControlRect(control, option, part, widget);
    }
    const QRect r = option->rect;
    const int frame = spin->frame ? 2 : 0;
    const int inner = r.height() - 2 * frame;
    const int arrowsLeft = r.right() - frame - kArrowWidth + 1;
    switch (part) {
      case SC_SpinBoxUp:
        return {arrowsLeft, r.top() + frame, kArrowWidth, inner / 2};
      case SC_SpinBoxDown:
        return {arrowsLeft, r.top() + frame + inner / 2, kArrowWidth, inner - inner / 2};
      case SC_SpinBoxEditField:
        return {r.left() + frame, r.top() + frame, r.width() - 2 * frame - kArrowWidth, inner};
      case SC_SpinBoxFrame:
        return r;
      default:
        return QProxyStyle::subControlRect(control, option, part, widget);
    }
  }
};

// The desktop's style with narrower margins around toolbar buttons and slimmer
// separators.
class CompactToolbarStyle : public QProxyStyle {
 public:
  int pixelMetric(PixelMetric metric, const QStyleOption* option,
                  const QWidget* widget) const override {
    if (metric == PM_ToolBarSeparatorExtent) return 4;
    return QProxyStyle::pixelMetric(metric, option, widget);
  }

  QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                         const QWidget* widget) const override {
    QSize result = QProxyStyle::sizeFromContents(type, option, size, widget);
    if (type == CT_ToolButton) result.rwidth() -= 4;
    return result;
  }
};

// The desktop's style with a group box frame in the classic place: its top
// edge through the middle of the title, broken where the title stands.
class TitledFrameStyle : public QProxyStyle {
 public:
  static constexpr int kTitleIndent = 8;

  QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl part,
                       const QWidget* widget) const override {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr ||
        (part != SC_GroupBoxLabel && part != SC_GroupBoxFrame)) {
      return QProxyStyle::subControlRect(control, option, part, widget);
    }
    const QFontMetrics& metrics = option->fontMetrics;
    if (part == SC_GroupBoxFrame) return option->rect.adjusted(0, metrics.height() / 2, 0, 0);
    return {option->rect.left() + kTitleIndent, option->rect.top(),
            metrics.horizontalAdvance(box->text) + 4, metrics.height()};
  }

  void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                          QPainter* painter, const QWidget* widget) const override {
    const auto* box = qstyleoption_cast<const QStyleOptionGroupBox*>(option);
    if (control != CC_GroupBox || box == nullptr) {
      QProxyStyle::drawComplexControl(control, option, painter, widget);
      return;
    }
    const QRect frame = subControlRect(control, option, SC_GroupBoxFrame, widget);
    const QRect title = subControlRect(control, option, SC_GroupBoxLabel, widget);
    painter->save();
    QRegion clip(option->rect);
    if (!box->text.isEmpty()) clip -= title;
    painter->setClipRegion(clip);
    qDrawShadeRect(painter, frame, option->palette, true, 1, 0);
    painter->restore();
    if (!box->text.isEmpty()) {
      drawItemText(painter, title, Qt::AlignCenter | Qt::TextShowMnemonic, option->palette,
                   option->state.testFlag(State_Enabled), box->text, QPalette::WindowText);
    }
  }
};

// Kept by the application, which outlives every window.
template <class Style>
QStyle* Shared() {
  static QStyle* style = [] {
    auto* s = new Style();
    s->setParent(qApp);
    return s;
  }();
  return style;
}

QStyle* SlimArrows() { return Shared<SlimArrowStyle>(); }

// The room for text in the field's edit line, beside the arrows.
int TextRoom(const QSpinBox* field) {
  QStyleOptionSpinBox option;
  option.initFrom(field);
  option.frame = field->hasFrame();
  option.buttonSymbols = field->buttonSymbols();
  const QRect edit = field->style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                    QStyle::SC_SpinBoxEditField, field);
  // The edit line keeps two pixels at either side of its text.
  return edit.width() - 4;
}

}  // namespace

void PlaceControls(std::initializer_list<ControlPlace> places) {
  // By depth below the window, so that a frame stands at its place before
  // the controls inside it are put there.
  const auto depth = [](const QWidget* control) {
    int levels = 0;
    for (const QWidget* w = control; !w->isWindow(); w = w->parentWidget()) ++levels;
    return levels;
  };
  std::vector<ControlPlace> ordered(places);
  std::stable_sort(ordered.begin(), ordered.end(),
                   [&](const ControlPlace& a, const ControlPlace& b) {
                     return depth(a.control) < depth(b.control);
                   });
  for (const ControlPlace& place : ordered) {
    QWidget* control = place.control;
    QRect rect = place.rect;
    if (rect.height() == 0) rect.setHeight(control->sizeHint().height());
    const QWidget* parent = control->parentWidget();
    if (!parent->isWindow()) rect.translate(-parent->mapTo(control->window(), QPoint(0, 0)));
    control->setGeometry(rect);
  }
}

QFont FixedLayoutFont() {
  QFont font("DejaVu Sans");
  font.setPixelSize(10);
  font.setStretch(QFont::SemiCondensed);
  return font;
}

void SetTextColour(QWidget* widget, const QColor& colour) {
  QPalette palette = widget->palette();
  palette.setColor(QPalette::WindowText, colour);
  widget->setPalette(palette);
}

void FitText(QWidget* control) {
  QFont font = control->font();
  // A font given in points is measured in pixels first.
  if (font.pixelSize() < 0) font.setPixelSize(QFontInfo(font).pixelSize());
  while (control->sizeHint().width() > control->width() && font.pixelSize() > 7) {
    font.setPixelSize(font.pixelSize() - 1);
    control->setFont(font);
  }
}

void FitNumberField(QSpinBox* field) {
  field->setStyle(SlimArrows());
  const QString widest = field->prefix() + QString::number(field->maximum()) + field->suffix();
  QFont font = field->font();
  if (font.pixelSize() < 0) font.setPixelSize(QFontInfo(font).pixelSize());
  const int room = TextRoom(field);
  while (QFontMetrics(font).horizontalAdvance(widest) > room && font.pixelSize() > 7) {
    font.setPixelSize(font.pixelSize() - 1);
  }
  field->setFont(font);
}

void FrameThroughTitle(QGroupBox* frame) { frame->setStyle(Shared<TitledFrameStyle>()); }

void CompactToolbar(QToolBar* toolbar) {
  QStyle* style = Shared<CompactToolbarStyle>();
  toolbar->setStyle(style);
  // A widget's style does not pass to its children; the buttons and
  // separators measure themselves.
  for (QWidget* item : toolbar->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
    if (qobject_cast<QToolButton*>(item) != nullptr ||
        QByteArray(item->metaObject()->className()) == "QToolBarSeparator") {
      item->setStyle(style);
    }
  }
}

}  // namespace zeltrix
