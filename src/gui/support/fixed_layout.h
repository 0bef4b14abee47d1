#pragma once

#include <QFont>
#include <QRect>
#include <initializer_list>

class QColor;
class QGroupBox;
class QSpinBox;
class QToolBar;
class QWidget;

namespace zeltrix {

// Helpers for the small windows whose controls sit at fixed pixel places.

/** Where one control of a fixed-pixel window sits. */
struct ControlPlace {
  QWidget* control;
  /**
   * In the coordinates of the control's window, also for a control inside
   * another one (a frame, the window's own area); a height of 0 keeps the
   * control's own preferred height.
   */
  QRect rect;
};

/**
 * Puts each control of a fixed-pixel window at its place. The window's whole
 * table goes in one call: a control inside another control of the table is
 * placed after it, whatever the order of the rows.
 */
void PlaceControls(std::initializer_list<ControlPlace> places);

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
