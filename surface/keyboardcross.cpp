#include "surface/keyboardcross.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

namespace {

// From the middle pixel to the outline's outer edge.
constexpr int Reach = 10;

} // namespace

KeyboardCross::KeyboardCross(QWidget *canvas)
    : QWidget(canvas)
    , m_pixel(canvas->contentsRect().width() / 2, canvas->contentsRect().height() / 2)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Кръстче за поставяне на точка"));
    resize(2 * Reach + 1, 2 * Reach + 1);
    hide();
}

KeyboardCross::Key KeyboardCross::take(const QKeyEvent &event)
{
    const QSize area = parentWidget()->contentsRect().size();
    const int step = event.modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
    QPoint to = m_pixel;
    switch (event.key()) {
    case Qt::Key_Left:
        to.rx() -= step;
        break;
    case Qt::Key_Right:
        to.rx() += step;
        break;
    case Qt::Key_Up:
        to.ry() -= step;
        break;
    case Qt::Key_Down:
        to.ry() += step;
        break;
    case Qt::Key_Home:
        to = QPoint(area.width() / 2, area.height() / 2);
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        showAt(m_pixel);
        return Key::Press;
    default:
        return Key::Other;
    }
    // The first key only shows the cross where it stands; Home always moves it.
    if (isHidden() && event.key() != Qt::Key_Home) {
        to = m_pixel;
    }
    showAt(QPoint(std::clamp(to.x(), 0, area.width() - 1), std::clamp(to.y(), 0, area.height() - 1)));
    return Key::Moved;
}

void KeyboardCross::showAt(QPoint pixel)
{
    m_pixel = pixel;
    move(parentWidget()->contentsRect().topLeft() + pixel - QPoint(Reach, Reach));
    raise(); // above the illustration
    show();
}

void KeyboardCross::paintEvent(QPaintEvent *)
{
    // Black with a white outline, seen on white, on the coloured circles and on
    // black lines alike. The arms leave the middle open, so that a dot placed
    // there shows whole.
    constexpr int c = Reach;
    const QRect arms[] = {{c + 4, c, 6, 1}, {c - 9, c, 6, 1}, {c, c + 4, 1, 6}, {c, c - 9, 1, 6}};
    QPainter painter(this);
    for (const QRect &arm : arms) {
        painter.fillRect(arm.adjusted(-1, -1, 1, 1), Qt::white);
    }
    for (const QRect &arm : arms) {
        painter.fillRect(arm, Qt::black);
    }
}
