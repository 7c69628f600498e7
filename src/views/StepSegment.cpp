#include "views/StepSegment.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

bool nextTo(const QPoint& a, const QPoint& b)
{
    return std::abs(a.x() - b.x()) <= 1 && std::abs(a.y() - b.y()) <= 1;
}

} // namespace

StepSegment::Hit StepSegment::hitTest(const QPoint& point) const
{
    if (!hasLine())
        return Hit::None;
    const QPoint first = points.front();
    const QPoint end = points.back();
    if (nextTo(point, end))
        return Hit::EndPoint;
    if (nextTo(point, first))
        return Hit::FirstPoint;

    const int x = point.x();
    const int y = point.y();
    if (x < first.x() - 2 || x > end.x() + 2)
        return Hit::None;
    if (y < std::min(first.y(), end.y()) - 2 || y > std::max(first.y(), end.y()) + 2)
        return Hit::None;
    if (first.x() == end.x())
        return Hit::Line;

    const double slope = double(end.y() - first.y()) / double(end.x() - first.x());
    const double lineY = std::trunc(end.y() - end.x() * slope + x * slope);
    const double steepness = std::fabs(slope);
    const int tolerance = steepness < 1.0 ? 2 : steepness < 10.0 ? 10 : 20;
    return (y >= lineY - tolerance && y <= lineY + tolerance) ? Hit::Line : Hit::None;
}
