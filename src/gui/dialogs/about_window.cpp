#include "gui/dialogs/about_window.h"

#include <QCloseEvent>
#include <QGroupBox>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPropertyAnimation>
#include <QPushButton>
#include <functional>

#include "gui/dialogs/project_info.h"
#include "gui/support/app_identity.h"
#include "gui/support/balloon_tip.h"
#include "gui/support/fixed_layout.h"

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
  auto* ok = new QPushButton("Ok", this);
  ok->setObjectName("okButton");
  SetBalloonTip(ok, {}, "Закрыть окно");
  connect(ok, &QPushButton::clicked, this, &QWidget::close);

  auto* banner = new LinkLabel(this, [this] { m_links.OpenUrl(kProjectWebSite); });
  banner->setObjectName("creditsBanner");
  banner->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  banner->setPixmap(QPixmap(":/images/credits.svg"));
  SetBalloonTip(banner, "На чём написана программа",
                "Эта программа разработана в системе программирования \"C++20 и Qt 6\"");

  auto* frame = new QGroupBox(this);
  frame->setObjectName("textGroup");

  // The title lies over the first words of the description, which are the
  // same text, so the name and version read in the title's colour.
  const QString name = kProgramNameAndVersion;
  auto* description =
      new QLabel(name +
                     "   — конвертер текста для индикаторов на основе контроллера HD44780 или "
                     "аналогичного",
                 this);
  description->setObjectName("descriptionLabel");
  description->setWordWrap(true);
  SetTextColour(description, QColor(171, 6, 84));

  auto* title = new QLabel(name, this);
  title->setObjectName("titleLabel");
  SetTextColour(title, QColor(1, 90, 175));
  for (QLabel* label : {description, title}) {
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    label->setTextFormat(Qt::PlainText);
  }

  auto* author = new QLabel(QString("Автор:") + QString(10, ' ') + kProgramAuthor, this);
  author->setObjectName("authorLabel");

  auto* mailCaption = new QLabel("E-mail:", this);
  mailCaption->setObjectName("emailCaptionLabel");

  auto* mail =
      new LinkLabel(this, [this] { m_links.OpenUrl(std::string("mailto:") + kProjectEmail); });
  mail->setObjectName("emailLink");
  mail->setText(kProjectEmail);
  mail->SetColours(QColor(58, 2, 197), QColor(2, 131, 253));
  SetBalloonTip(mail, "E-mail автора программы", "Связаться с автором");

  PlaceControls(this, {
                          {"creditsBanner", {44, 10, 170, 40}},
                          {"textGroup", {8, 60, 238, 108}},
                          {"descriptionLabel", {16, 70, 224, 50}},
                          {"titleLabel", {16, 70, 144, 14}},
                          {"authorLabel", {16, 120, 180, 15}},
                          {"emailCaptionLabel", {16, 140, 50, 15}},
                          {"emailLink", {80, 140, 120, 15}},
                          {"okButton", {84, 184, 70, 24}},
                      });
  // The title keeps the description's font, so that it covers its first words exactly.
  for (QWidget* control : std::initializer_list<QWidget*>{author, mailCaption, mail}) {
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
