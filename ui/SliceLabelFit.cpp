#include "ui/SliceLabelFit.h"

#include <QPointF>
#include <QtMath>

#include <algorithm>
#include <array>
#include <cmath>

namespace foldwise {

namespace {

qreal dot(QPointF a, QPointF b) {
    return a.x() * b.x() + a.y() * b.y();
}

bool isWithinAngles(QPointF point, const RingSegment& segment) {
    if (segment.angleSpan >= 360.0) {
        return true;
    }
    const qreal angle = qRadiansToDegrees(std::atan2(point.x(), -point.y())) - segment.startAngle;
    return std::fmod(angle + 720.0, 360.0) <= segment.angleSpan;
}

// Whether a box of `size`, turned clockwise by `rotation` degrees about its centre and centred halfway
// between the hole and the outer edge, as the chart places inside labels, lies wholly in the segment.
bool fits(QSizeF size, qreal rotation, const RingSegment& segment) {
    const qreal middleRadius = (segment.innerRadius + segment.outerRadius) / 2;
    const qreal middleAngle = qDegreesToRadians(segment.startAngle + segment.angleSpan / 2);
    const QPointF centre(std::sin(middleAngle) * middleRadius, -std::cos(middleAngle) * middleRadius);
    const QPointF along(std::cos(qDegreesToRadians(rotation)), std::sin(qDegreesToRadians(rotation)));
    const QPointF across(-along.y(), along.x());
    const qreal halfWidth = size.width() / 2;
    const qreal halfHeight = size.height() / 2;

    // The box's point nearest the chart's centre must stay out of the hole.
    const QPointF origin = -centre;
    const qreal u = dot(origin, along);
    const qreal v = dot(origin, across);
    const qreal du = u - std::clamp(u, -halfWidth, halfWidth);
    const qreal dv = v - std::clamp(v, -halfHeight, halfHeight);
    if (std::hypot(du, dv) < segment.innerRadius) {
        return false;
    }
    // The ring's outer edge and the slice's two sides bound convex regions: the corners decide.
    const std::array<QPointF, 4> corners = {
        centre + along * halfWidth + across * halfHeight, centre + along * halfWidth - across * halfHeight,
        centre - along * halfWidth + across * halfHeight, centre - along * halfWidth - across * halfHeight};
    return std::all_of(corners.begin(), corners.end(), [&](QPointF corner) {
        return std::hypot(corner.x(), corner.y()) <= segment.outerRadius && isWithinAngles(corner, segment);
    });
}

} // namespace

std::optional<QPieSlice::LabelPosition> insideLabelPosition(QSizeF size, const RingSegment& segment) {
    if (fits(size, 0.0, segment)) {
        return QPieSlice::LabelInsideHorizontal;
    }
    // The chart turns a label along the radius so that it reads from the inside out on the right half
    // of the ring and from the outside in on the left half.
    const qreal middleAngle = segment.startAngle + segment.angleSpan / 2;
    const qreal radial = middleAngle < 180.0 ? middleAngle - 90.0 : middleAngle + 90.0;
    if (fits(size, radial, segment)) {
        return QPieSlice::LabelInsideNormal;
    }
    return std::nullopt;
}

} // namespace foldwise
