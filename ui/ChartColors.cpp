#include "ui/ChartColors.h"

#include <QHash>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>

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

// Every colour below has a luminance close to 0.176: little below it, the dark card (#2a2a2a) is too near; little
// above, white text is. The hues keep the seven apart from each other and from the user's set.
QColor categoryColor(const QString& category) {
    static const QHash<QString, QColor> builtIn = {
        {QStringLiteral("Images"), QColor(0x1D, 0x75, 0xCE)},   {QStringLiteral("Video"), QColor(0xE0, 0x29, 0x29)},
        {QStringLiteral("Audio"), QColor(0xAD, 0x44, 0xD0)},    {QStringLiteral("Documents"), QColor(0xB5, 0x5C, 0x0F)},
        {QStringLiteral("Archives"), QColor(0x8F, 0x70, 0x14)}, {QStringLiteral("Code"), QColor(0x0F, 0x83, 0x70)},
        {QStringLiteral("Other"), secondarySliceColor()},
    };
    if (const auto found = builtIn.constFind(category); found != builtIn.cend()) {
        return *found;
    }
    // FNV-1a over the name's UTF-8 bytes: unlike qHash, the same in every run and every Qt version.
    std::uint32_t hash = 2166136261u;
    for (const char byte : category.toUtf8()) {
        hash = (hash ^ static_cast<unsigned char>(byte)) * 16777619u;
    }
    const auto& colors = userCategoryColors();
    return colors.at(static_cast<qsizetype>(hash % static_cast<std::uint32_t>(colors.size())));
}

const QList<QColor>& userCategoryColors() {
    // Indigo, pink, leaf green, cyan, slate, olive.
    static const QList<QColor> colors = {
        QColor(0x75, 0x61, 0xDD), QColor(0xD6, 0x26, 0x8C), QColor(0x49, 0x82, 0x21),
        QColor(0x0C, 0x7F, 0x97), QColor(0x60, 0x6F, 0xBB), QColor(0x78, 0x78, 0x28),
    };
    return colors;
}

QColor secondarySliceColor() {
    return {0x74, 0x74, 0x74};
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
