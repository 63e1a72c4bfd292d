#pragma once

#include <QColor>
#include <QList>

namespace foldwise {

// Slice colours of the statistics charts, in the order slices take them. Each is dark enough that
// the white count drawn on it stays readable (a contrast ratio of at least 4.5:1).
const QList<QColor>& chartSliceColors();

// The colour of the slice at `index`, repeating the series once it runs out.
QColor chartSliceColor(qsizetype index);

// The contrast ratio between two colours as defined for web content accessibility: 1 to 21.
double contrastRatio(const QColor& first, const QColor& second);

} // namespace foldwise
