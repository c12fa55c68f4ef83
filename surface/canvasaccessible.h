#pragma once

#include "surface/accessibleleaf.h"

#include <QAccessibleWidget>

#include <vector>

class CanvasWidget;

// The canvas as a screen reader gets it: a canvas whose description tells what
// it shows and how to play, and then every judged rope's verdict until the ropes
// are erased. It also speaks for the canvas.
class CanvasAccessible : public QAccessibleWidget
{
public:
    enum class Speech {
        WhileFocused, // what a key on the canvas did: only while the canvas has the focus
        Anywhere,     // what a button did, the verdicts: wherever the focus is
    };

    explicit CanvasAccessible(QWidget *canvas) : QAccessibleWidget(canvas, QAccessible::Canvas) {}
    ~CanvasAccessible() override { deleteLeaves(m_said); }
    static QAccessibleInterface *factory(const QString &className, QObject *object); // installed by the canvas
    static CanvasAccessible *of(CanvasWidget *canvas);

    void speak(const QString &text, Speech when);

    QString text(QAccessible::Text t) const override;
    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

private:
    // Qt 6.4 only: what was said last each way, children after the widgets.
    std::vector<QAccessible::Id> m_said;
};
