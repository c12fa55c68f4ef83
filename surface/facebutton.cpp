#include "surface/facebutton.h"

#include <QPainter>
#include <qdrawutil.h>

void FaceButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush fill(m_face);
    qDrawWinButton(&painter, rect(), palette(), isDown(), &fill);

    QRect textArea = rect();
    if (isDown()) {
        textArea.translate(1, 1);
    }
    // The widget's palette is already in the right colour group: disabled,
    // inactive window or active.
    const QColor textColor = palette().color(QPalette::ButtonText);
    painter.setPen(textColor);
    painter.drawText(textArea, Qt::AlignCenter, text());

    // A dotted rectangle inside the edge, in the caption's colour, shows the
    // keyboard focus on any face colour.
    if (hasFocus()) {
        QPen dotted(textColor, 1, Qt::CustomDashLine, Qt::FlatCap);
        dotted.setDashPattern({1, 1});
        painter.setPen(dotted);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(textArea.adjusted(4, 4, -5, -5));
    }
}
