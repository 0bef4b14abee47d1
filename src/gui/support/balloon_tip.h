#pragma once

#include <QString>

class QWidget;

namespace zeltrix {

/**
 * Gives a control a balloon in place of its plain tooltip: a rounded,
 * pale-yellow box whose stem points at the pointer, at most 250 pixels wide,
 * with the information icon and a bold title above the text when a title is
 * given. It shows where Qt would show the tooltip (the pointer resting on
 * the control) and goes when the pointer leaves. The text stays the
 * control's tooltip, so that screen readers still find it.
 */
void SetBalloonTip(QWidget* control, const QString& title, const QString& text);

}  // namespace zeltrix
