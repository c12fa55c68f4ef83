#pragma once

#include <QAccessible>
#include <QObject>

#include <vector>

class CanvasWidget;
class QAccessibleInterface;

// What a screen reader hears from the canvas beyond its name and description:
// each judged rope's verdict, kept as a text of the canvas until the ropes are
// erased; all of them spoken at once after a judging, as is what a removal or
// clear all did; and, while the canvas has the focus, where the keyboard cursor
// stands and which point was just placed.
// Orca 43 speaks no name or description change made through Qt 6.4, so these
// are accessible children of the canvas of their own: a notification shown for
// what is spoken wherever the focus is, a fresh focused item for each thing a
// key did.
class CanvasSpeech : public QObject
{
    Q_OBJECT

public:
    explicit CanvasSpeech(CanvasWidget *canvas);
    ~CanvasSpeech() override;

    // The canvas's accessible interface, with these texts as children after its
    // own widgets (the illustration).
    static QAccessibleInterface *canvasInterface(CanvasWidget *canvas);

    // Speaks `text` as the focused item of the canvas, if the canvas has the focus.
    void say(const QString &text);
    // Speaks `text` wherever the focus is, as a notification of the canvas in
    // place of the one before.
    void announce(const QString &text);

private:
    friend class CanvasAccessible;

    void verdictsShown();
    int childCount() const;
    QAccessibleInterface *child(int index) const;
    int indexOfChild(const QAccessibleInterface *child) const;
    QAccessibleInterface *spoken() const;
    // The first child index after the canvas's own widgets.
    int firstIndex() const;
    void drop(QAccessible::Id &id, int index);

    CanvasWidget *m_canvas;
    // One per judged rope, made when first asked for (0 until then).
    mutable std::vector<QAccessible::Id> m_ropes;
    QAccessible::Id m_notice = 0;
    // The notification tells the verdicts, and goes with them.
    bool m_noticeTellsVerdicts = false;
    QAccessible::Id m_spoken = 0;
};
