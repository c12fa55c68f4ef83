#include "game/verdict.h"

#include <cmath>

namespace game {

namespace {

double Distance(Point a, Point b)
{
    return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y));
}

} // namespace

double LineDistance(Point a, Point b, Point centre)
{
    const double length = Distance(a, b);
    if (length == 0.0) {
        return Distance(a, centre);
    }
    // Twice the signed area of the triangle a, b, centre; exact for whole-number
    // coordinates, so that a line at exactly a border distance lands on it.
    const double area2 = a.x * b.y + centre.x * a.y + centre.y * b.x - centre.x * b.y
        - centre.y * a.x - b.x * a.y;
    return std::abs(area2) / length;
}

DrawStyle JudgeRope(Point a, Point b, Point centre, const Radii &radii)
{
    if (Distance(a, centre) <= radii.valley || Distance(b, centre) <= radii.valley) {
        return DrawStyle::DashDotDot;
    }
    const double h = LineDistance(a, b, centre);
    if (h < radii.dragon) {
        return DrawStyle::Dot;
    }
    if (h > radii.reach) {
        return DrawStyle::Dash;
    }
    return DrawStyle::Solid;
}

std::string VerdictText(std::size_t rope, DrawStyle verdict)
{
    const std::string words = verdict == DrawStyle::Solid  ? "успех"
                            : verdict == DrawStyle::Dash   ? "твърде далеч от дракона"
                            : verdict == DrawStyle::Dot    ? "в огъня на дракона"
                                                           : "край на въжето в долината";
    return "Въже " + std::to_string(rope + 1) + ": " + words;
}

} // namespace game
