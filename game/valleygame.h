#pragma once

#include "game/numbers.h"
#include "game/operations.h"
#include "game/verdict.h"

#include <functional>

namespace game {

// The valley game: the valley's geometry, the points and the judging of ropes.
// Points 2k and 2k+1 of the point list form rope k.
class ValleyGame
{
public:
    struct Controls
    {
        Canvas &canvas;
        PointList &points;
        std::function<void(bool enabled)> enableJudgeButton;
        std::function<void(bool visible)> showIllustration;
    };

    explicit ValleyGame(Controls controls);

    // Recomputes the centre and radii from the canvas scale, clears the canvas to
    // white, draws the valley with a 5-pixel pen and enables the judge button.
    // The points are left alone.
    void ResetBoard();
    // The valley circle in a fresh random colour, with the current pen width.
    void DrawValley();
    // Red, green and blue from three fresh random numbers, in that order.
    Color RandomColor();

    // A press on the canvas at (x, y): a dot, the point added as the lists show
    // it, the illustration hidden, and the judge button enabled only while the
    // count is even.
    void AddPoint(float x, float y);
    // Removes the selected point and redraws the board without it: the valley in
    // a new colour and every remaining dot, no ropes and so no verdicts. With
    // nothing selected nothing changes.
    // The judge button keeps its state.
    void RemoveSelectedPoint();
    // The board back to the empty valley and no points; no verdicts.
    void ClearAll();
    // Draws the reach and fire circles, then every rope in the pattern of its
    // verdict, and hands the verdicts on to be shown in words. An unpaired last
    // point is left out. Canvas and points are kept.
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
    Controls m_controls;
    RandomSequence m_random;
};

} // namespace game
