#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include <utility>

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

// Makes a leaf and hands it to Qt's accessibility cache, which owns it from
// then on (QAccessible::deleteAccessibleInterface frees it); returns its id.
template <typename Leaf, typename... Args>
QAccessible::Id registerLeaf(Args &&...args)
{
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the cache owns it
    return QAccessible::registerAccessibleInterface(new Leaf(std::forward<Args>(args)...));
}
