#pragma once

#include <QColor>
#include <QList>

namespace foldwise {

// Slice colours of the statistics charts, in the order slices take them. Each is dark enough that
// the white count drawn on it stays readable (a contrast ratio of at least 4.5:1).
const QList<QColor>& chartSliceColors();

// The colour of the slice at `index`, repeating the series once it runs out.
QColor chartSliceColor(qsizetype index);

// The colour of a category's slice, the same in every folder and in the light and dark palettes: fixed for
// the seven built-in categories, and for a category of the user's own one of userCategoryColors() chosen by
// its name. Each keeps white text readable on it (4.5:1) and stands out from a white card and from the dark
// palette's card (3:1).
QColor categoryColor(const QString& category);
const QList<QColor>& userCategoryColors();

// The grey of a share that stands for the rest ("Other types"), readable like the category colours.
QColor secondarySliceColor();

// The contrast ratio between two colours as defined for web content accessibility: 1 to 21.
double contrastRatio(const QColor& first, const QColor& second);

} // namespace foldwise
