#include "ui/StatusColor.h"

namespace foldwise {

QColor statusColorValue(StatusColor color, const QPalette& palette) {
    const bool isDark = palette.color(QPalette::Window).lightness() < 128;
    switch (color) {
    case StatusColor::Primary:
        return palette.color(QPalette::WindowText);
    case StatusColor::Green:
        return isDark ? QColor(0x57, 0xe3, 0x89) : QColor(0x1b, 0x7a, 0x37);
    case StatusColor::Red:
        return isDark ? QColor(0xff, 0x7b, 0x63) : QColor(0xc0, 0x1c, 0x28);
    case StatusColor::Orange:
        return isDark ? QColor(0xff, 0xa3, 0x48) : QColor(0xa8, 0x4a, 0x00);
    case StatusColor::Blue:
        return isDark ? QColor(0x99, 0xc1, 0xf1) : QColor(0x1a, 0x5f, 0xb4);
    }
    return palette.color(QPalette::WindowText);
}

} // namespace foldwise
