#pragma once

#include "surface/numbers.h"

#include <cstdint>
#include <string>
#include <vector>

// What the game asks of the window: a canvas to draw on, two list boxes that hold
// the points as text, and controls it can enable or hide. Plain C++, so that the
// game builds and tests without any toolkit; the Qt widgets of this folder
// implement these interfaces.
namespace surface {

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
enum class DrawStyle {
    Solid = 0,
    Dash = 1,
    Dot = 2,
    DashDotDot = 4,
};

// The drawing area. Coordinates are canvas units: ScaleWidth by ScaleHeight units
// over the whole drawing area, origin at its top-left corner, Y downwards. Pen
// widths are pixels. Dots and lines are black; circles take the colour given.
class Canvas
{
public:
    virtual ~Canvas() = default;

    // On: drawing survives the canvas being covered and uncovered.
    virtual void SetAutoRedraw(bool on) = 0;
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
};

// An unsorted single-selection list of texts. Entries are numbered from 0.
class ListBox
{
public:
    virtual ~ListBox() = default;

    virtual void AddItem(const std::string &text) = 0;
    // Removes entry `index`; later entries move up by one and nothing is left
    // selected. An index out of range changes nothing.
    virtual void RemoveItem(int index) = 0;
    virtual void Clear() = 0;
    virtual int ListCount() const = 0;
    // Text of entry `index`, 0 <= index < ListCount().
    virtual std::string List(int index) const = 0;
    // Entry `index` read as a number, as ReadNumber reads its text. A list that
    // keeps each entry's number beside its text answers without parsing it again.
    virtual double Number(int index) const { return ReadNumber(List(index)); }
    // Every entry read as a number, in order: `numbers` ends up holding Number(0)
    // .. Number(ListCount() - 1) and nothing else. For redrawing every point,
    // where one virtual call per entry would cost more than the reading.
    virtual void Numbers(std::vector<double> &numbers) const
    {
        numbers.resize(size_t(ListCount()));
        for (size_t i = 0; i < numbers.size(); ++i) {
            numbers[i] = Number(int(i));
        }
    }
    // Selected entry, -1 when none.
    virtual int ListIndex() const = 0;
    // Selects entry `index` (-1: none).
    virtual void SetListIndex(int index) = 0;
};

// A control the game can switch on and off or hide: the judge button, the
// illustration.
class Control
{
public:
    virtual ~Control() = default;

    virtual void SetEnabled(bool enabled) = 0;
    virtual void SetVisible(bool visible) = 0;
};

} // namespace surface
