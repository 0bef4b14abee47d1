#pragma once

#include <QWidget>

#include "core/ui/link_opener.h"

class QGroupBox;
class QLabel;
class QPropertyAnimation;
class QPushButton;

namespace zeltrix {

/** False where the windowing system cannot blend a window (offscreen, Wayland). */
bool PlatformCanFade();

/**
 * The About window: the program's name, version and purpose, the author
 * with an e-mail link and a banner crediting the tools it is written with,
 * linking to the project's web site. It leaves the main window usable,
 * fades in when opened and fades out when closed; once it has faded out it
 * reports itself closed to the window that owns it.
 */
class AboutWindow : public QWidget {
  Q_OBJECT

 public:
  explicit AboutWindow(LinkOpener& links, bool fade = PlatformCanFade());

  /** Shows the window centred over the given one, fading in. */
  void Open(QWidget* over);

  /** Brings the open window to the front; no second fade-in. */
  void Activate();

  /** Closes the window at once, as when the program ends. */
  void CloseWithoutFade();

 signals:
  /** The window has closed for good (after its fade-out, if any). */
  void closed();

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  void BuildControls();

  LinkOpener& m_links;
  bool m_fadeEnabled;
  bool m_fadingOut = false;
  bool m_fadedOut = false;
  QPropertyAnimation* m_fade = nullptr;

  QLabel* m_banner = nullptr;
  QGroupBox* m_frame = nullptr;
  QLabel* m_description = nullptr;
  QLabel* m_title = nullptr;  // laid over the first words of the description
  QLabel* m_author = nullptr;
  QLabel* m_mailCaption = nullptr;
  QLabel* m_mail = nullptr;
  QPushButton* m_ok = nullptr;
};

}  // namespace zeltrix
