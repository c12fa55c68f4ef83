#include "surface/keyboardcross.h"

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>

// From the middle pixel to the outline's outer edge.
static constexpr int Reach = 10;

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
    const int key = event.key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        showAt(m_pixel);
        return Key::Press;
    }
    const QSize area = parentWidget()->contentsRect().size();
    QPoint to = m_pixel;
    if (key == Qt::Key_Home) {
        to = QPoint(area.width() / 2, area.height() / 2);
    } else if (key == Qt::Key_Left || key == Qt::Key_Right || key == Qt::Key_Up || key == Qt::Key_Down) {
        // The first arrow only shows the cross where it stands.
        const int step = isHidden() ? 0 : event.modifiers().testFlag(Qt::ShiftModifier) ? 10 : 1;
        to += step * QPoint(int(key == Qt::Key_Right) - int(key == Qt::Key_Left),
                            int(key == Qt::Key_Down) - int(key == Qt::Key_Up));
    } else {
        return Key::Other;
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
