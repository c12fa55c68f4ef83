#include "surface/canvasaccessible.h"

#include "surface/canvaswidget.h"

CanvasAccessible *CanvasAccessible::of(CanvasWidget *canvas)
{
    return static_cast<CanvasAccessible *>(QAccessible::queryAccessibleInterface(canvas));
}

QAccessibleInterface *CanvasAccessible::factory(const QString &className, QObject *object)
{
    return className == QLatin1String("CanvasWidget") ? new CanvasAccessible(static_cast<CanvasWidget *>(object))
                                                      : nullptr;
}

void CanvasAccessible::speak(const QString &text, Speech when)
{
    if (when == Speech::WhileFocused && !widget()->hasFocus()) {
        return;
    }
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    QAccessibleAnnouncementEvent event(widget(), text);
    event.setPoliteness(when == Speech::WhileFocused ? QAccessible::AnnouncementPoliteness::Assertive
                                                     : QAccessible::AnnouncementPoliteness::Polite);
    QAccessible::updateAccessibility(&event);
#else
    // Qt 6.4 has no announcements. Screen readers speak a notification shown,
    // wherever the focus is, and a focus that moves to a new item of the canvas
    // (not one that comes back to the same): a new child each time.
    const QAccessible::Role role = when == Speech::Anywhere ? QAccessible::Notification : QAccessible::ListItem;
    const auto last = std::find_if(m_said.begin(), m_said.end(),
                                   [role](auto id) { return QAccessible::accessibleInterface(id)->role() == role; });
    if (last != m_said.end()) {
        QAccessible::deleteAccessibleInterface(*last);
        m_said.erase(last);
    }
    m_said.push_back((new AccessibleLeaf(widget(), role, text))->registered());
    QAccessibleEvent shown(widget(), role == QAccessible::Notification ? QAccessible::ObjectShow : QAccessible::Focus);
    shown.setChild(childCount() - 1);
    QAccessible::updateAccessibility(&shown);
#endif
}

QString CanvasAccessible::text(QAccessible::Text t) const
{
    const QStringList verdicts = static_cast<CanvasWidget *>(widget())->verdictTexts();
    const QString text = QAccessibleWidget::text(t);
    return t != QAccessible::Description || verdicts.isEmpty() ? text : text + u' ' + verdicts.join(u". ") + u'.';
}

int CanvasAccessible::childCount() const
{
    return QAccessibleWidget::childCount() + int(m_said.size());
}

QAccessibleInterface *CanvasAccessible::child(int index) const
{
    const auto k = size_t(index - QAccessibleWidget::childCount());
    return k < m_said.size() ? QAccessible::accessibleInterface(m_said[k]) : QAccessibleWidget::child(index);
}

int CanvasAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto id = child ? QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child)) : 0;
    const auto said = std::find(m_said.begin(), m_said.end(), id);
    return said == m_said.end() ? QAccessibleWidget::indexOfChild(child)
                                : QAccessibleWidget::childCount() + int(said - m_said.begin());
}
