#include "ui/TextStyle.h"

namespace foldwise {
namespace {

QFont scaled(QFont font, double factor) {
    // A font may be sized in pixels rather than points; scale whichever it uses.
    if (font.pointSizeF() > 0) {
        font.setPointSizeF(font.pointSizeF() * factor);
    } else if (font.pixelSize() > 0) {
        font.setPixelSize(qRound(font.pixelSize() * factor));
    }
    return font;
}

} // namespace

QFont textStyleFont(TextStyle style, const QFont& base) {
    switch (style) {
    case TextStyle::Title:
        return scaled(base, 1.7);
    case TextStyle::Title2:
        return scaled(base, 1.3);
    case TextStyle::Headline: {
        QFont font = base;
        font.setBold(true);
        return font;
    }
    case TextStyle::Caption:
        return scaled(base, 0.85);
    }
    return base;
}

} // namespace foldwise
