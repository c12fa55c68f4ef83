#pragma once

#include <QPushButton>

// A push button whose face is painted in its own colour, with a raised 3-D edge
// and the caption centred in the platform's button-text colour.
class FaceButton : public QPushButton
{
    Q_OBJECT

public:
    FaceButton(const QString &caption, const QColor &face, QWidget *parent = nullptr)
        : QPushButton(caption, parent), m_face(face)
    {
    }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_face;
};
