#include "game/valleygame.h"

#include <algorithm>

namespace game {

namespace {

constexpr int DotWidth = 5;
constexpr int LineWidth = 1;
constexpr surface::Color White = surface::Rgb(255, 255, 255);

// Half the canvas scale, rounded to a whole number first.
int HalfScale(float scale)
{
    return int(surface::RoundEven(scale) / 2);
}

} // namespace

ValleyGame::ValleyGame(Controls controls)
    : m_controls(controls)
{
}

Point ValleyGame::Centre() const
{
    return {double(HalfScale(m_controls.canvas.ScaleWidth())),
            double(HalfScale(m_controls.canvas.ScaleHeight()))};
}

void ValleyGame::ResetBoard()
{
    CenterY = HalfScale(m_controls.canvas.ScaleHeight());
    CenterX = HalfScale(m_controls.canvas.ScaleWidth());
    ValleyRadius = 0.9 * CenterY;
    ReachRadius = 0.6 * CenterY;
    DragonRadius = 0.3 * CenterY;

    m_controls.canvas.SetBackColor(White);
    m_controls.canvas.Cls();
    m_controls.canvas.SetDrawWidth(DotWidth);
    DrawValley();
    m_controls.judgeButton.SetEnabled(true);
}

void ValleyGame::DrawValley()
{
    const surface::Color color = RandomColor();
    m_controls.canvas.Circle(CenterX, CenterY, ValleyRadius, color);
}

surface::Color ValleyGame::RandomColor()
{
    const float red = m_random.Next();
    const float green = m_random.Next();
    const float blue = m_random.Next();
    return surface::Rgb(int(surface::RoundEven(red * 255.0f)),
                        int(surface::RoundEven(green * 255.0f)),
                        int(surface::RoundEven(blue * 255.0f)));
}

void ValleyGame::AddPoint(float x, float y)
{
    m_controls.canvas.SetDrawWidth(DotWidth);
    m_controls.canvas.PSet(x, y);
    m_controls.canvas.SetDrawWidth(LineWidth);
    m_controls.illustration.SetVisible(false);
    m_controls.xs.AddItem(surface::FormatSingle(x));
    m_controls.ys.AddItem(surface::FormatSingle(y));
    m_controls.judgeButton.SetEnabled(m_controls.xs.ListCount() % 2 == 0);
}

void ValleyGame::SyncSelection(int index)
{
    const surface::ListBox &source = index == 0 ? m_controls.xs : m_controls.ys;
    const int selected = source.ListIndex();
    m_controls.xs.SetListIndex(selected);
    m_controls.ys.SetListIndex(selected);
}

size_t ValleyGame::ReadPoints()
{
    m_controls.xs.Numbers(m_xs);
    m_controls.ys.Numbers(m_ys);
    return std::min(m_xs.size(), m_ys.size());
}

void ValleyGame::RemoveSelectedPoint()
{
    const int selected = m_controls.xs.ListIndex();
    if (selected < 0) {
        return;
    }
    m_controls.xs.RemoveItem(selected);
    m_controls.ys.RemoveItem(selected);

    m_controls.canvas.Cls();
    m_controls.canvas.SetDrawWidth(DotWidth);
    DrawValley();
    const size_t count = ReadPoints();
    for (size_t i = 0; i < count; ++i) {
        m_controls.canvas.PSet(m_xs[i], m_ys[i]);
    }
    m_controls.canvas.SetDrawWidth(LineWidth);
}

void ValleyGame::ClearAll()
{
    ResetBoard();
    m_controls.xs.Clear();
    m_controls.ys.Clear();
}

void ValleyGame::JudgeRopes()
{
    if (m_controls.xs.ListCount() < 2) {
        return;
    }
    const Point centre = Centre();
    m_controls.canvas.SetDrawWidth(DotWidth);
    m_controls.canvas.Circle(centre.x, centre.y, ReachRadius, RandomColor());
    m_controls.canvas.Circle(centre.x, centre.y, DragonRadius, RandomColor());
    m_controls.canvas.SetDrawWidth(LineWidth);

    const Radii radii{ValleyRadius, DragonRadius, ReachRadius};
    // An unpaired last point (left after a removal) is not a rope.
    const size_t count = ReadPoints();
    for (size_t k = 0; 2 * k + 1 < count; ++k) {
        const Point a{m_xs[2 * k], m_ys[2 * k]};
        const Point b{m_xs[2 * k + 1], m_ys[2 * k + 1]};
        m_controls.canvas.SetDrawStyle(JudgeRope(a, b, centre, radii));
        m_controls.canvas.Line(float(a.x), float(a.y), float(b.x), float(b.y));
    }
}

void ValleyGame::Judge()
{
    JudgeRopes();
    m_controls.judgeButton.SetEnabled(false);
}

} // namespace game
