#pragma once

#include "game/verdict.h"
#include "surface/numbers.h"
#include "surface/operations.h"

#include <vector>

namespace game {

// The valley game: the valley's geometry, the points and the judging of ropes.
// The points live only in the two list boxes, as text (X in `xs`, Y in `ys`,
// entry i of both is point i); points 2k and 2k+1 form rope k.
class ValleyGame
{
public:
    struct Controls
    {
        surface::Canvas &canvas;
        surface::ListBox &xs;
        surface::ListBox &ys;
        surface::Control &judgeButton;
        surface::Control &illustration;
    };

    explicit ValleyGame(Controls controls);

    // Recomputes the centre and radii from the canvas scale, clears the canvas to
    // white, draws the valley with a 5-pixel pen and enables the judge button.
    // The lists are left alone.
    void ResetBoard();
    // The valley circle in a fresh random colour, with the current pen width.
    void DrawValley();
    // Red, green and blue from three fresh random numbers, in that order.
    surface::Color RandomColor();

    // A press on the canvas at (x, y): a dot, the point appended to both lists,
    // the illustration hidden, and the judge button enabled only while the count
    // is even.
    void AddPoint(float x, float y);
    // The entry selected in list `index` (0: X, 1: Y) becomes selected in both.
    void SyncSelection(int index);
    // Removes the selected point and redraws the board without it: the valley in
    // a new colour and every remaining dot. With nothing selected nothing changes.
    // The judge button keeps its state.
    void RemoveSelectedPoint();
    // The board back to the empty valley and both lists emptied.
    void ClearAll();
    // Draws the reach and fire circles, then every rope in the pattern of its
    // verdict. An unpaired last point is left out. Canvas and lists are kept.
    void JudgeRopes();
    // The judge button's action: JudgeRopes, then the button is disabled.
    void Judge();

    // The valley, in canvas units; set by ResetBoard.
    int CenterX = 0;
    int CenterY = 0;
    double ValleyRadius = 0.0;
    double ReachRadius = 0.0;
    double DragonRadius = 0.0;

private:
    // Reads every point from the lists into m_xs and m_ys; returns how many.
    size_t ReadPoints();
    Point Centre() const;

    Controls m_controls;
    surface::RandomSequence m_random;
    // The points as numbers, read afresh for each redraw or judging; kept so
    // that a redraw of thousands of dots allocates nothing.
    std::vector<double> m_xs;
    std::vector<double> m_ys;
};

} // namespace game
