#include "ui/StatusColor.h"

#include "ui/ChartColors.h"

namespace foldwise {
namespace {

bool isDark(const QPalette& palette) {
    return palette.color(QPalette::Window).lightness() < 128;
}

QColor shade(const QPalette& palette, QRgb onLight, QRgb onDark) {
    return QColor::fromRgb(isDark(palette) ? onDark : onLight);
}

} // namespace

QColor statusColorValue(StatusColor color, const QPalette& palette) {
    switch (color) {
    case StatusColor::Primary:
        return palette.color(QPalette::WindowText);
    case StatusColor::Green:
        return shade(palette, 0x176b30, 0x57e389);
    case StatusColor::Red:
        return shade(palette, 0xb3261e, 0xff9a8a);
    case StatusColor::Orange:
        return shade(palette, 0x9c4400, 0xffb36b);
    case StatusColor::Blue:
        return shade(palette, 0x1c5aa8, 0x99c1f1);
    }
    return palette.color(QPalette::WindowText);
}

QColor secondaryColorValue(const QPalette& palette) {
    return shade(palette, 0x57555c, 0xc0bfbc);
}

QColor accentColorValue(const QPalette& palette) {
    return statusColorValue(StatusColor::Blue, palette);
}

QColor accentFillColorValue(const QPalette& palette) {
    return shade(palette, 0x1c5aa8, 0x2160b0);
}

QColor textOnAccentColor() {
    return Qt::white;
}

QColor focusRingColorValue(const QPalette& palette, const QColor& face) {
    // On the accent fill itself the accent would vanish; a margin over 3:1 keeps the ring bold on other faces.
    const QColor accent = accentColorValue(palette);
    return contrastRatio(accent, face) >= 4.5 ? accent : textOnAccentColor();
}

} // namespace foldwise
