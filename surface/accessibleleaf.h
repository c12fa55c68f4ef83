#pragma once

#include <QAccessible>
#include <QPointer>
#include <QWidget>

#include <vector>

// An accessible object of a widget that is no widget itself and has no children
// (an entry of a list, a text of the canvas). Qt's accessibility cache owns it
// once registered; deleteLeaves frees those of a list of ids.
class AccessibleLeaf : public QAccessibleInterface
{
public:
    AccessibleLeaf(QWidget *owner, QAccessible::Role role)
        : m_owner(owner)
        , m_role(role)
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
    void setText(QAccessible::Text, const QString &) override {}
    QAccessible::Role role() const override { return m_role; }

    QAccessible::Id registered() { return QAccessible::registerAccessibleInterface(this); }

protected:
    QPointer<QWidget> m_owner;
    QAccessible::Role m_role;
};

inline void deleteLeaves(std::vector<QAccessible::Id> &ids)
{
    for (QAccessible::Id id : ids) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    ids.clear();
}
