#include "gui/about/about_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <functional>

#include "gui/support/app_identity.h"
#include "gui/support/balloon_tip.h"
#include "gui/support/fixed_layout.h"
#include "gui/support/project_info.h"
#include "gui/support/window_placement.h"

namespace zeltrix {
namespace {

constexpr int kFadeInMs = 800;
constexpr int kFadeOutMs = 1000;

// A label that acts on a left click and may change its colour while the
// pointer is over it.
class LinkLabel : public QLabel {
 public:
  LinkLabel(QWidget* parent, std::function<void()> onClick)
      : QLabel(parent), m_onClick(std::move(onClick)) {
    setCursor(Qt::PointingHandCursor);
  }

  void SetColours(const QColor& normal, const QColor& hover) {
    m_normal = normal;
    m_hover = hover;
    SetTextColour(this, normal);
  }

 protected:
  void enterEvent(QEnterEvent* event) override {
    if (m_hover.isValid()) SetTextColour(this, m_hover);
    QLabel::enterEvent(event);
  }
  void leaveEvent(QEvent* event) override {
    if (m_normal.isValid()) SetTextColour(this, m_normal);
    QLabel::leaveEvent(event);
  }
  void mousePressEvent(QMouseEvent* event) override {
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
  }
  void mouseReleaseEvent(QMouseEvent* event) override {
    // A press dragged off the label and released elsewhere is no click.
    const bool click = m_pressed && event->button() == Qt::LeftButton &&
                       rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (click) m_onClick();
  }

 private:
  std::function<void()> m_onClick;
  QColor m_normal;
  QColor m_hover;
  bool m_pressed = false;
};

}  // namespace

bool PlatformCanFade() {
  const QString platform = QGuiApplication::platformName();
  return platform != "offscreen" && platform != "minimal" && !platform.startsWith("wayland");
}

AboutWindow::AboutWindow(LinkOpener& links, bool fade)
    : QWidget(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      m_links(links),
      m_fadeEnabled(fade) {
  InitOwnResources();
  setObjectName("aboutWindow");
  setWindowTitle("О программе");
  setWindowIcon(ApplicationIcon());
  setFixedSize(258, 220);
  setFont(FixedLayoutFont());
  BuildControls();
  m_fade = new QPropertyAnimation(this, "windowOpacity", this);
}

void AboutWindow::BuildControls() {
  m_ok = new QPushButton("Ok", this);
  m_ok->setObjectName("okButton");
  SetBalloonTip(m_ok, {}, "Закрыть окно");
  connect(m_ok, &QPushButton::clicked, this, &QWidget::close);

  m_banner = new LinkLabel(this, [this] { m_links.OpenUrl(kProjectWebSite); });
  m_banner->setObjectName("creditsBanner");
  m_banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  m_banner->setPixmap(QPixmap(":/images/credits.svg"));
  SetBalloonTip(m_banner, "На чём написана программа",
                "Эта программа разработана в системе программирования \"C++20 и Qt 6\"");

  m_frame = new QGroupBox(this);
  m_frame->setObjectName("textGroup");

  // The title lies over the first words of the description, which are the
  // same text, so the name and version read in the title's colour.
  const QString name = kProgramNameAndVersion;
  m_description =
      new QLabel(name +
                     "   — конвертер текста для индикаторов на основе контроллера HD44780 или "
                     "аналогичного",
                 this);
  m_description->setObjectName("descriptionLabel");
  m_description->setWordWrap(true);
  SetTextColour(m_description, QColor(171, 6, 84));

  m_title = new QLabel(name, this);
  m_title->setObjectName("titleLabel");
  SetTextColour(m_title, QColor(1, 90, 175));
  for (QLabel* label : {m_description, m_title}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
  }

  m_author = new QLabel(QString("Автор:") + QString(10, ' ') + kProgramAuthor, this);
  m_author->setObjectName("authorLabel");

  m_mailCaption = new QLabel("E-mail:", this);
  m_mailCaption->setObjectName("emailCaptionLabel");

  auto* mail =
      new LinkLabel(this, [this] { m_links.OpenUrl(std::string("mailto:") + kProjectEmail); });
  mail->setObjectName("emailLink");
  mail->setText(kProjectEmail);
  mail->SetColours(QColor(58, 2, 197), QColor(2, 131, 253));
  SetBalloonTip(mail, "E-mail автора программы", "Связаться с автором");
  m_mail = mail;

  PlaceControls({
      {m_banner, {44, 10, 170, 40}},
      {m_frame, {8, 60, 238, 108}},
      {m_description, {16, 70, 224, 50}},
      {m_title, {16, 70, 144, 14}},
      {m_author, {16, 120, 180, 15}},
      {m_mailCaption, {16, 140, 50, 15}},
      {m_mail, {80, 140, 120, 15}},
      {m_ok, {84, 184, 70, 24}},
  });
  // The title keeps the description's font, so that it covers its first words exactly.
  for (QWidget* control : std::initializer_list<QWidget*>{m_author, m_mailCaption, m_mail}) {
    FitText(control);
  }
}

void AboutWindow::Open(QWidget* over) {
  if (over != nullptr) move(CentredOver(over->frameGeometry(), size()));
  if (m_fadeEnabled) {
    setWindowOpacity(0.0);
    m_fade->setDuration(kFadeInMs);
    m_fade->setStartValue(0.0);
    m_fade->setEndValue(1.0);
    m_fade->start();
  }
  BringToFront(this);
}

void AboutWindow::Activate() {
  if (m_fadingOut) {
    // Asked for again while it fades out: it stays.
    m_fade->stop();
    disconnect(m_fade, &QPropertyAnimation::finished, this, nullptr);
    m_fadingOut = false;
    setWindowOpacity(1.0);
  }
  BringToFront(this);
}

void AboutWindow::CloseWithoutFade() {
  m_fadedOut = true;
  m_fade->stop();
  close();
}

void AboutWindow::closeEvent(QCloseEvent* event) {
  if (!m_fadeEnabled || m_fadedOut) {
    event->accept();
    emit closed();
    return;
  }
  // The window stays until it has faded out, then closes for good.
  event->ignore();
  if (m_fadingOut) return;
  m_fadingOut = true;
  m_fade->stop();
  m_fade->setDuration(kFadeOutMs);
  m_fade->setStartValue(windowOpacity());
  m_fade->setEndValue(0.0);
  connect(m_fade, &QPropertyAnimation::finished, this, [this] {
    m_fadedOut = true;
    close();
  });
  m_fade->start();
}

}  // namespace zeltrix
