#pragma once

#include "game/operations.h"

#include <cstddef>
#include <string>

namespace game {

// The radii of the valley around its centre, in canvas units.
struct Radii
{
    double valley = 0.0; // an end point at this distance or closer lies in the valley
    double dragon = 0.0; // a rope passing closer than this is burnt
    double reach = 0.0;  // a rope passing farther than this is too far
};

// Distance from `centre` to the whole straight line through `a` and `b` (not
// just the segment). When the two points coincide the line has no direction,
// and the distance to the point itself is taken.
double LineDistance(Point a, Point b, Point centre);

// The verdict on the rope from `a` to `b`, as the line pattern it is drawn in:
//  - DashDotDot: an end point lies in the valley or on its edge;
//  - otherwise, with h the distance from the centre to the rope's line:
//    Dot when h < dragon, Solid when dragon <= h <= reach, Dash when h > reach.
DrawStyle JudgeRope(Point a, Point b, Point centre, const Radii &radii);

// The verdict on rope `rope` (counted from 0) in words, in UTF-8, as the player
// reads and hears it: "Въже 2: твърде далеч от дракона".
std::string VerdictText(std::size_t rope, DrawStyle verdict);

} // namespace game
