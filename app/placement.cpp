#include "app/placement.h"

#include <QEvent>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace {

// The top-left corner that centres `size` on the window's screen. A window
// larger than the screen keeps its top-left corner, and so its title bar, on
// the screen.
QPoint centredCorner(const QWidget &window, QSize size)
{
    const QScreen *screen = window.screen();
    if (!screen) {
        return window.pos();
    }
    const QRect area = screen->availableGeometry();
    return area.topLeft()
        + QPoint(std::max(0, (area.width() - size.width()) / 2),
                 std::max(0, (area.height() - size.height()) / 2));
}

// Watches the window until its frame is known, then centres the frame once and
// goes away, so that the user's own moves are left alone.
struct FrameCentring : QObject
{
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        // A window manager that frames the window moves it into its frame, and
        // Qt learns the frame's extents with that move.
        auto *window = static_cast<QWidget *>(watched);
        if (event->type() == QEvent::Move && window->frameGeometry() != window->geometry()) {
            window->removeEventFilter(this);
            deleteLater();
            window->move(centredCorner(*window, window->frameGeometry().size()));
        }
        return false;
    }
};

} // namespace

void centreOnScreen(QWidget &window)
{
    window.move(centredCorner(window, window.size()));
    window.installEventFilter(new FrameCentring(&window));
}
