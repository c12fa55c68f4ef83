#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>

// An accessible object that belongs to a widget but is no widget itself and has
// no children: an entry of a list, a text of the canvas. Subclasses give its
// name, place, role and state.
class AccessibleLeaf : public QAccessibleInterface
{
public:
    explicit AccessibleLeaf(QWidget *owner)
        : m_owner(owner)
    {
    }

    bool isValid() const override { return !m_owner.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override
    {
        return QAccessible::queryAccessibleInterface(m_owner.data());
    }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    void setText(QAccessible::Text, const QString &) override {}

private:
    QPointer<QWidget> m_owner;
};
