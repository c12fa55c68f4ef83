#pragma once

#include <QAccessibleWidget>

#include <vector>

class CanvasWidget;

// The canvas as a screen reader gets it: a canvas whose children are the widgets
// lying on it, then the verdict of each judged rope as a text of its own until
// the ropes are erased. It also speaks for the canvas.
class CanvasAccessible : public QAccessibleWidget
{
public:
    enum class Speech {
        WhileFocused, // what a key on the canvas did: only while the canvas has the focus
        Anywhere,     // what a button did, the verdicts: wherever the focus is
    };

    explicit CanvasAccessible(CanvasWidget *canvas);
    ~CanvasAccessible() override;
    // Makes the canvas's interface; the canvas installs it.
    static QAccessibleInterface *factory(const QString &className, QObject *object);
    static CanvasAccessible *of(CanvasWidget *canvas);

    void speak(const QString &text, Speech when);
    // The judged ropes changed: their texts go, and new verdicts are spoken.
    void verdictsChanged();

    int childCount() const override;
    QAccessibleInterface *child(int index) const override;
    int indexOfChild(const QAccessibleInterface *child) const override;

private:
    // Qt 6.4 only: `text` as a new child in place of the last one said that way.
    void say(const QString &text, Speech when);

    // After the widgets: one text per judged rope (0 until first asked for),
    // then under Qt 6.4 the last things said.
    mutable std::vector<QAccessible::Id> m_texts;
    size_t m_ropes = 0;
};
