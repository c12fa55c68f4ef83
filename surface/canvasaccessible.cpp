#include "surface/canvasaccessible.h"

#include "surface/accessibleleaf.h"
#include "surface/canvaswidget.h"

namespace {

// A text of the canvas: a rope's verdict; under Qt 6.4 also a notification, or
// what a key did, as an item that has the focus while the canvas has it.
class CanvasText : public AccessibleLeaf
{
public:
    CanvasText(QWidget *canvas, QAccessible::Role role, const QString &name)
        : AccessibleLeaf(canvas, role)
        , m_name(name)
    {
    }

    QString text(QAccessible::Text t) const override { return t == QAccessible::Name ? m_name : QString(); }
    QRect rect() const override { return m_owner ? QRect(m_owner->mapToGlobal(QPoint()), m_owner->size()) : QRect(); }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.focusable = m_role == QAccessible::ListItem;
        state.focused = state.focusable && m_owner && m_owner->hasFocus();
        return state;
    }

private:
    QString m_name;
};

} // namespace

CanvasAccessible::CanvasAccessible(CanvasWidget *canvas)
    : QAccessibleWidget(canvas, QAccessible::Canvas)
{
}

CanvasAccessible::~CanvasAccessible()
{
    deleteLeaves(m_texts);
}

QAccessibleInterface *CanvasAccessible::factory(const QString &className, QObject *object)
{
    return className == QLatin1String("CanvasWidget") ? new CanvasAccessible(static_cast<CanvasWidget *>(object))
                                                      : nullptr;
}

CanvasAccessible *CanvasAccessible::of(CanvasWidget *canvas)
{
    return static_cast<CanvasAccessible *>(QAccessible::queryAccessibleInterface(canvas));
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
    say(text, when);
#endif
}

void CanvasAccessible::say(const QString &text, Speech when)
{
    // Qt 6.4 has no announcements. Screen readers speak a notification shown,
    // wherever the focus is, and a focus that moves to a new item of the canvas
    // (not one that comes back to the same).
    const QAccessible::Role role = when == Speech::Anywhere ? QAccessible::Notification : QAccessible::ListItem;
    const auto last = std::find_if(m_texts.begin() + long(m_ropes), m_texts.end(),
                                   [role](auto id) { return QAccessible::accessibleInterface(id)->role() == role; });
    if (last != m_texts.end()) {
        QAccessibleEvent gone(widget(), QAccessible::ObjectDestroyed);
        gone.setChild(QAccessibleWidget::childCount() + int(last - m_texts.begin()));
        QAccessible::updateAccessibility(&gone);
        QAccessible::deleteAccessibleInterface(*last);
        m_texts.erase(last);
    }
    m_texts.push_back((new CanvasText(widget(), role, text))->registered());
    QAccessibleEvent shown(widget(), role == QAccessible::Notification ? QAccessible::ObjectShow : QAccessible::Focus);
    shown.setChild(childCount() - 1);
    QAccessible::updateAccessibility(&shown);
}

void CanvasAccessible::verdictsChanged()
{
    std::vector<QAccessible::Id> ropes(m_texts.begin(), m_texts.begin() + long(m_ropes));
    deleteLeaves(ropes);
    m_texts.erase(m_texts.begin(), m_texts.begin() + long(m_ropes));
    const QStringList verdicts = static_cast<CanvasWidget *>(widget())->verdictTexts();
    m_ropes = size_t(verdicts.size());
    m_texts.insert(m_texts.begin(), m_ropes, 0);
    QAccessibleEvent changed(widget(), QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
    if (m_ropes > 0) {
        speak(verdicts.join(QStringLiteral(". ")), Speech::Anywhere);
    }
}

int CanvasAccessible::childCount() const
{
    return QAccessibleWidget::childCount() + int(m_texts.size());
}

QAccessibleInterface *CanvasAccessible::child(int index) const
{
    const auto k = size_t(index - QAccessibleWidget::childCount());
    if (index < QAccessibleWidget::childCount() || k >= m_texts.size()) {
        return QAccessibleWidget::child(index);
    }
    if (m_texts[k] == 0) {
        const QString verdict = static_cast<CanvasWidget *>(widget())->verdictText(k);
        m_texts[k] = (new CanvasText(widget(), QAccessible::StaticText, verdict))->registered();
    }
    return QAccessible::accessibleInterface(m_texts[k]);
}

int CanvasAccessible::indexOfChild(const QAccessibleInterface *child) const
{
    const auto id = child ? QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child)) : 0;
    const auto text = std::find(m_texts.begin(), m_texts.end(), id);
    return id == 0 || text == m_texts.end() ? QAccessibleWidget::indexOfChild(child)
                                            : QAccessibleWidget::childCount() + int(text - m_texts.begin());
}
