#pragma once

#include <QColor>
#include <QPalette>

namespace foldwise {

// The colours the organizer's status line is drawn in.
enum class StatusColor { Primary, Green, Red, Orange, Blue };

// Primary is the palette's text colour; the others are fixed shades that stay readable on the
// palette's window colour, darker on a light palette and lighter on a dark one.
QColor statusColorValue(StatusColor color, const QPalette& palette);

} // namespace foldwise
