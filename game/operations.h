#pragma once

#include <cstdint>
#include <vector>

// What the game asks of the window: a canvas to draw on and the list of points.
// Plain C++, so that the game builds and tests
// without any toolkit; the Qt widgets of surface/ implement these interfaces.
namespace game {

// A 24-bit colour: red in the low byte, green in the middle byte, blue in the
// high byte (0x00BBGGRR).
using Color = std::uint32_t;

constexpr Color Rgb(int red, int green, int blue)
{
    return Color(red & 0xFF) | Color(green & 0xFF) << 8 | Color(blue & 0xFF) << 16;
}
constexpr int RedOf(Color c) { return int(c & 0xFF); }
constexpr int GreenOf(Color c) { return int(c >> 8 & 0xFF); }
constexpr int BlueOf(Color c) { return int(c >> 16 & 0xFF); }

// Line patterns, by their codes. Patterns show only at pen width 1; wider lines
// are always solid.
enum class DrawStyle : std::uint8_t {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDotDot = 4,
};

// A point in canvas units.
struct Point
{
    double x = 0.0;
    double y = 0.0;
};

// A rope of the last judging, between points 2k and 2k+1, and its verdict as
// the pattern it is drawn in.
struct JudgedRope
{
    Point from;
    Point to;
    DrawStyle verdict = DrawStyle::Solid;
};

// The drawing area, whose drawing survives its being covered and uncovered.
// Coordinates are canvas units: ScaleWidth by ScaleHeight units over the whole
// drawing area, origin at its top-left corner, Y downwards. Pen widths are
// pixels. Dots and lines are black; circles take the colour given.
class Canvas
{
public:
    virtual ~Canvas() = default;
    virtual void SetScaleWidth(float units) = 0;
    virtual void SetScaleHeight(float units) = 0;
    virtual float ScaleWidth() const = 0;
    virtual float ScaleHeight() const = 0;
    // Background used by Cls.
    virtual void SetBackColor(Color color) = 0;
    // Erases all drawing to the background colour.
    virtual void Cls() = 0;
    virtual void SetDrawWidth(int pixels) = 0;
    virtual void SetDrawStyle(DrawStyle style) = 0;
    // Outline of a circle, current pen width.
    virtual void Circle(double x, double y, double radius, Color color) = 0;
    // A round dot as wide as the pen.
    virtual void PSet(double x, double y) = 0;
    // A straight segment, current pen width and pattern.
    virtual void Line(float x1, float y1, float x2, float y2) = 0;
    // The verdicts of the last judging in words, beside the drawing: rope k at
    // index k; none once the ropes are erased.
    virtual void ShowVerdicts(const std::vector<JudgedRope> &ropes) = 0;
};

// The points in click order, numbered from 0, as the two lists show them (X and
// Y of point i side by side), with the one selection the lists share.
class PointList
{
public:
    virtual ~PointList() = default;
    virtual void Add(Point point) = 0;
    // Removes point `index`; later points move up by one and nothing is left
    // selected. An index out of range changes nothing.
    virtual void RemoveAt(int index) = 0;
    virtual void Clear() = 0;
    // The selected point's index, -1 when none.
    virtual int Selected() const = 0;
    // Every point, in order.
    virtual const std::vector<Point> &Points() const = 0;
};

} // namespace game
