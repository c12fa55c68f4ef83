#include "surface/facebutton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <qdrawutil.h>

FaceButton::FaceButton(const QString &caption, const QColor &face, QWidget *parent)
    : QPushButton(caption, parent)
    , m_face(face)
{
}

void FaceButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QBrush fill(m_face);
    qDrawWinButton(&painter, rect(), palette(), isDown(), &fill);

    QRect textArea = rect();
    if (isDown()) {
        textArea.translate(1, 1);
    }
    const QPalette::ColorGroup group = isEnabled() ? QPalette::Active : QPalette::Disabled;
    painter.setPen(palette().color(group, QPalette::ButtonText));
    painter.drawText(textArea, Qt::AlignCenter, text());

    if (hasFocus()) {
        QStyleOptionFocusRect option;
        option.initFrom(this);
        option.rect = rect().adjusted(4, 4, -4, -4);
        option.backgroundColor = m_face;
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
    }
}
