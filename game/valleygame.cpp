#include "game/valleygame.h"

#include <utility>

namespace game {

namespace {

constexpr int DotWidth = 5;
constexpr int LineWidth = 1;
constexpr Color White = Rgb(255, 255, 255);

// Half the canvas scale, rounded to a whole number first.
int HalfScale(float scale)
{
    return int(RoundEven(scale) / 2);
}

// A coordinate as the lists hold it: the value their text reads back as, so
// that what is judged and redrawn is what the player reads.
double AsListed(float coordinate)
{
    return ReadNumber(FormatSingle(coordinate));
}

} // namespace

ValleyGame::ValleyGame(Controls controls)
    : m_controls(std::move(controls))
{
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
    m_controls.canvas.ShowVerdicts({});
    m_controls.enableJudgeButton(true);
}

void ValleyGame::DrawValley()
{
    const Color color = RandomColor();
    m_controls.canvas.Circle(CenterX, CenterY, ValleyRadius, color);
}

Color ValleyGame::RandomColor()
{
    const float red = m_random.Next(); // in this order: red, green, blue
    const float green = m_random.Next();
    const float blue = m_random.Next();
    return Rgb(int(RoundEven(red * 255.0f)), int(RoundEven(green * 255.0f)), int(RoundEven(blue * 255.0f)));
}

void ValleyGame::AddPoint(float x, float y)
{
    m_controls.canvas.SetDrawWidth(DotWidth);
    m_controls.canvas.PSet(x, y);
    m_controls.canvas.SetDrawWidth(LineWidth);
    m_controls.showIllustration(false);
    m_controls.points.Add({AsListed(x), AsListed(y)});
    m_controls.enableJudgeButton(m_controls.points.Points().size() % 2 == 0);
}

void ValleyGame::RemoveSelectedPoint()
{
    const int selected = m_controls.points.Selected();
    if (selected < 0) {
        return;
    }
    m_controls.points.RemoveAt(selected);

    m_controls.canvas.Cls();
    m_controls.canvas.ShowVerdicts({});
    m_controls.canvas.SetDrawWidth(DotWidth);
    DrawValley();
    for (const Point &point : m_controls.points.Points()) {
        m_controls.canvas.PSet(point.x, point.y);
    }
    m_controls.canvas.SetDrawWidth(LineWidth);
}

void ValleyGame::ClearAll()
{
    ResetBoard();
    m_controls.points.Clear();
}

void ValleyGame::JudgeRopes()
{
    const std::vector<Point> &points = m_controls.points.Points();
    if (points.size() < 2) {
        return;
    }
    const Point centre{double(CenterX), double(CenterY)};
    m_controls.canvas.SetDrawWidth(DotWidth);
    m_controls.canvas.Circle(centre.x, centre.y, ReachRadius, RandomColor());
    m_controls.canvas.Circle(centre.x, centre.y, DragonRadius, RandomColor());
    m_controls.canvas.SetDrawWidth(LineWidth);

    const Radii radii{ValleyRadius, DragonRadius, ReachRadius};
    std::vector<JudgedRope> ropes;
    ropes.reserve(points.size() / 2);
    // An unpaired last point (left after a removal) is not a rope.
    for (size_t k = 0; 2 * k + 1 < points.size(); ++k) {
        const JudgedRope rope{points[2 * k], points[2 * k + 1],
                              JudgeRope(points[2 * k], points[2 * k + 1], centre, radii)};
        m_controls.canvas.SetDrawStyle(rope.verdict);
        m_controls.canvas.Line(float(rope.from.x), float(rope.from.y), float(rope.to.x),
                               float(rope.to.y));
        ropes.push_back(rope);
    }
    m_controls.canvas.ShowVerdicts(ropes);
}

void ValleyGame::Judge()
{
    JudgeRopes();
    m_controls.enableJudgeButton(false);
}

} // namespace game
