#pragma once

#include <QFont>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <initializer_list>

class QColor;
class QGroupBox;
class QSpinBox;
class QToolBar;
class QWidget;

namespace zeltrix {

// Helpers for the small windows whose controls sit at fixed pixel places.

/** Where one control of a fixed-pixel window sits, found by its object name. */
struct ControlPlace {
  const char* objectName;
  QRect rect;  ///< a height of 0 keeps the control's own preferred height
};

/**
 * Puts each named child of a fixed-pixel window at its place. A name with no
 * such child is a programming error and stops the program at once, so a
 * renamed control cannot silently end up at 0,0.
 */
void PlaceControls(QWidget* window, std::initializer_list<ControlPlace> places);

/**
 * Where a window of that size goes to sit centred over another window's
 * frame, kept right of and below the screen's origin so that its caption
 * can always be reached.
 */
QPoint CentredOver(const QRect& frame, const QSize& size);

/**
 * Shows a window that has no parent widget (so that disabling its owner does
 * not disable it too) centred over its owner and kept above it, and makes it
 * the active window.
 */
void ShowOver(QWidget* window, QWidget* owner);

/** Brings a window back from the taskbar, shows it in front and makes it the active window. */
void BringToFront(QWidget* window);

/** Gives a label its own text colour in every state of the window. */
void SetTextColour(QWidget* widget, const QColor& colour);

/**
 * The font of such a window: narrow and small enough for the captions to fit
 * their places, whatever font the desktop uses elsewhere.
 */
QFont FixedLayoutFont();

/**
 * Shrinks the font of a label or check box, a pixel at a time, until its
 * text fits the control's width, so that nothing is cut off where the
 * narrow face of the font is missing.
 */
void FitText(QWidget* control);

/**
 * Makes a number field's largest value fit its narrow place: the arrows take
 * a slimmer strip, and where that is still not enough the font shrinks a
 * pixel at a time.
 */
void FitNumberField(QSpinBox* field);

/**
 * Draws a group box's frame with its top edge through the middle of the
 * title, the title standing on it, as the controls placed inside the frame
 * expect; the desktop's style may run the edge below the title, through them.
 */
void FrameThroughTitle(QGroupBox* frame);

/**
 * Packs a toolbar's buttons and separators closer, so that every item of the
 * main window's toolbar stays in sight at the window's smallest width.
 */
void CompactToolbar(QToolBar* toolbar);

}  // namespace zeltrix
