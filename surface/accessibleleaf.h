#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include <vector>

// A text of a widget's for screen readers that is no widget itself, lying where
// the widget lies: what the canvas says; a list's entry overrides its text, place
// and state. Qt's accessibility cache owns it once registered.
class AccessibleLeaf : public QAccessibleInterface
{
public:
    AccessibleLeaf(QWidget *owner, QAccessible::Role role, const QString &name = {})
        : m_owner(owner), m_role(role), m_name(name)
    {
    }

    bool isValid() const override { return !m_owner.isNull(); }
    QObject *object() const override { return nullptr; }
    QWindow *window() const override { return m_owner ? m_owner->window()->windowHandle() : nullptr; }
    QAccessibleInterface *parent() const override { return QAccessible::queryAccessibleInterface(m_owner.data()); }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessibleInterface *childAt(int, int) const override { return nullptr; }
    QAccessible::Role role() const override { return m_role; }
    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? m_name : QString(); }
    void setText(QAccessible::Text, const QString &) override {}
    QRect rect() const override { return m_owner ? QRect(m_owner->mapToGlobal(QPoint()), m_owner->size()) : QRect(); }
    // An item has the focus while its widget has it (under Qt 6.4: what a key on
    // the canvas did).
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focused = m_role == QAccessible::ListItem && m_owner && m_owner->hasFocus();
        state.focusable = m_role == QAccessible::ListItem;
        return state;
    }

protected:
    QPointer<QWidget> m_owner;

private:
    QAccessible::Role m_role;
    QString m_name;
};

// Makes a leaf and hands it to Qt's accessibility cache, which owns it from then
// on; returns its id.
template <typename Leaf, typename... Args>
QAccessible::Id registerLeaf(Args &&...args)
{
    // NOLINTNEXTLINE(clang-analyzer-cplusplus.NewDeleteLeaks): the cache owns it
    return QAccessible::registerAccessibleInterface(new Leaf(std::forward<Args>(args)...));
}

inline void deleteLeaves(const std::vector<QAccessible::Id> &ids)
{
    for (QAccessible::Id id : ids) {
        QAccessible::deleteAccessibleInterface(id);
    }
}
