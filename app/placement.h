#pragma once

class QWidget;

// Centres a top-level window on the available area of its screen, frame
// included. Call it before the window is first shown. The client area is placed
// at once, which is final where nothing frames the window; where a window
// manager adds a frame, the window moves once more as soon as the frame is
// known, so that the frame is what lies centred.
void centreOnScreen(QWidget &window);
