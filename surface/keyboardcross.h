#pragma once

#include <QKeyEvent>
#include <QWidget>

// The canvas's keyboard cursor: a small cross over the drawing (never drawn into
// it) and the illustration, on a logical pixel of the drawing area. The arrows
// move it a pixel, Shift+arrows ten, Home back to the centre; the first key only
// shows it.
class KeyboardCross : public QWidget
{
public:
    enum class Key {
        Other, // not the cross's key
        Moved, // shown or moved
        Press, // Return, Enter or Space: a press where it stands (shown first)
    };

    explicit KeyboardCross(QWidget *canvas); // whose contents rectangle is the drawing area
    Key take(const QKeyEvent &event);
    QPoint pixel() const { return m_pixel; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void showAt(QPoint pixel);

    QPoint m_pixel;
};
