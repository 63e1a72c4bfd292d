#pragma once

#include <QPieSlice>
#include <QSizeF>

#include <optional>

namespace foldwise {

// The ring segment one slice of a donut chart covers, relative to the chart's centre: radii in pixels,
// angles in the chart's degrees (clockwise from twelve o'clock).
struct RingSegment {
    qreal innerRadius = 0;
    qreal outerRadius = 0;
    qreal startAngle = 0;
    qreal angleSpan = 0;
};

// Where a label of `size` goes inside its slice: level when it fits that way, else turned along the
// radius when that fits, else nowhere. The chart clips inside labels to their slice, so a label that
// does not fit would show as a cut-off number.
std::optional<QPieSlice::LabelPosition> insideLabelPosition(QSizeF size, const RingSegment& segment);

} // namespace foldwise
