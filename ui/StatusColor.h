#pragma once

#include "wording/StatusColor.h"

#include <QColor>
#include <QPalette>

namespace foldwise {

// Primary is the palette's text colour; the others are fixed shades that reach a contrast of 4.5:1 on the
// palette's window, base and button colours, darker on a light palette and lighter on a dark one.
QColor statusColorValue(StatusColor color, const QPalette& palette);

// The other named colours, chosen per palette the same way:
// - secondary: dimmed text (captions, descriptions), still 4.5:1 on the window and base colours;
// - accent: the accent as a foreground on the window (the organizer's symbol, focus rings);
// - accent fill: the accent behind text in `textOnAccentColor` (prominent buttons, the selected segment).
QColor secondaryColorValue(const QPalette& palette);
QColor accentColorValue(const QPalette& palette);
QColor accentFillColorValue(const QPalette& palette);
QColor textOnAccentColor();

// The colour of a keyboard focus ring drawn on `face`: the accent, or text-on-accent where the face is filled
// with the accent; either stands 3:1 from the face.
QColor focusRingColorValue(const QPalette& palette, const QColor& face);

} // namespace foldwise
