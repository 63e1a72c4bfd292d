#include "ui/ChartColors.h"

#include <algorithm>
#include <cmath>

namespace foldwise {

namespace {

double relativeLuminance(const QColor& color) {
    auto linear = [](double channel) {
        return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

} // namespace

const QList<QColor>& chartSliceColors() {
    // Blue, orange, green, purple, red, teal, magenta, olive, brown, slate: ten hues, as many as the
    // type chart ever shows, so neighbouring slices never share a colour.
    static const QList<QColor> colors = {
        QColor(0x1D, 0x64, 0xC8), QColor(0xC2, 0x41, 0x0C), QColor(0x15, 0x80, 0x3D), QColor(0x7E, 0x22, 0xCE),
        QColor(0xB9, 0x1C, 0x1C), QColor(0x0F, 0x76, 0x6E), QColor(0xA2, 0x1C, 0xAF), QColor(0x4D, 0x7C, 0x0F),
        QColor(0x9A, 0x5B, 0x13), QColor(0x4B, 0x55, 0x63),
    };
    return colors;
}

QColor chartSliceColor(qsizetype index) {
    const auto& colors = chartSliceColors();
    return colors.at(index % colors.size());
}

double contrastRatio(const QColor& first, const QColor& second) {
    const double a = relativeLuminance(first) + 0.05;
    const double b = relativeLuminance(second) + 0.05;
    return std::max(a, b) / std::min(a, b);
}

} // namespace foldwise
