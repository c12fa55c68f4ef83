#include "app/canvasspeech.h"

#include "app/accessibleleaf.h"
#include "game/verdict.h"
#include "surface/canvaswidget.h"

#include <QAccessibleWidget>
#include <QPointer>

namespace {

// A text of the canvas's own.
class CanvasText : public AccessibleLeaf
{
public:
    CanvasText(CanvasWidget *canvas, QAccessible::Role role, const QString &name)
        : AccessibleLeaf(canvas)
        , m_canvas(canvas)
        , m_role(role)
        , m_name(name)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? m_name : QString();
    }
    QRect rect() const override
    {
        return m_canvas ? QRect(m_canvas->mapToGlobal(QPoint(0, 0)), m_canvas->size()) : QRect();
    }
    QAccessible::Role role() const override { return m_role; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (m_role == QAccessible::ListItem) {
            // What a key did: the focused item while the canvas has the focus.
            state.focusable = true;
            state.focused = m_canvas && m_canvas->hasFocus();
        }
        return state;
    }

private:
    QPointer<CanvasWidget> m_canvas;
    QAccessible::Role m_role;
    QString m_name;
};

} // namespace

// The canvas as a screen reader sees it: a canvas whose children are its
// widgets and then the texts of CanvasSpeech.
class CanvasAccessible : public QAccessibleWidget
{
public:
    explicit CanvasAccessible(CanvasWidget *canvas)
        : QAccessibleWidget(canvas, QAccessible::Canvas)
    {
    }

    int childCount() const override
    {
        const CanvasSpeech *speech = this->speech();
        return speech ? speech->childCount() : QAccessibleWidget::childCount();
    }
    QAccessibleInterface *child(int index) const override
    {
        const CanvasSpeech *speech = this->speech();
        return speech ? speech->child(index) : QAccessibleWidget::child(index);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const CanvasSpeech *speech = this->speech();
        return speech ? speech->indexOfChild(child) : QAccessibleWidget::indexOfChild(child);
    }
    QAccessibleInterface *focusChild() const override
    {
        const CanvasSpeech *speech = this->speech();
        QAccessibleInterface *spoken = speech ? speech->spoken() : nullptr;
        return spoken && widget()->hasFocus() ? spoken : QAccessibleWidget::focusChild();
    }

    // The widgets' children, as QAccessibleWidget counts them.
    int ownChildCount() const { return QAccessibleWidget::childCount(); }
    QAccessibleInterface *ownChild(int index) const { return QAccessibleWidget::child(index); }
    int indexOfOwnChild(const QAccessibleInterface *child) const
    {
        return QAccessibleWidget::indexOfChild(child);
    }

private:
    const CanvasSpeech *speech() const
    {
        return widget()->findChild<CanvasSpeech *>(QString(), Qt::FindDirectChildrenOnly);
    }
};

CanvasSpeech::CanvasSpeech(CanvasWidget *canvas)
    : QObject(canvas)
    , m_canvas(canvas)
{
    connect(canvas, &CanvasWidget::VerdictsShown, this, &CanvasSpeech::verdictsShown);
}

CanvasSpeech::~CanvasSpeech()
{
    for (QAccessible::Id id : m_ropes) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    for (QAccessible::Id id : {m_notice, m_spoken}) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
}

QAccessibleInterface *CanvasSpeech::canvasInterface(CanvasWidget *canvas)
{
    return new CanvasAccessible(canvas);
}

int CanvasSpeech::firstIndex() const
{
    return static_cast<CanvasAccessible *>(QAccessible::queryAccessibleInterface(m_canvas))
        ->ownChildCount();
}

int CanvasSpeech::childCount() const
{
    return firstIndex() + int(m_ropes.size()) + (m_notice ? 1 : 0) + (m_spoken ? 1 : 0);
}

QAccessibleInterface *CanvasSpeech::child(int index) const
{
    auto *canvas = static_cast<CanvasAccessible *>(QAccessible::queryAccessibleInterface(m_canvas));
    const int first = canvas->ownChildCount();
    if (index < first) {
        return canvas->ownChild(index);
    }
    index -= first;
    if (index < int(m_ropes.size())) {
        QAccessible::Id &id = m_ropes[size_t(index)];
        if (id == 0) {
            const game::JudgedRope &rope = m_canvas->judgedRopes()[size_t(index)];
            const QString text = QString::fromStdString(game::VerdictText(size_t(index), rope.verdict));
            id = registerLeaf<CanvasText>(m_canvas, QAccessible::StaticText, text);
        }
        return QAccessible::accessibleInterface(id);
    }
    index -= int(m_ropes.size());
    if (m_notice && index-- == 0) {
        return QAccessible::accessibleInterface(m_notice);
    }
    if (m_spoken && index == 0) {
        return QAccessible::accessibleInterface(m_spoken);
    }
    return nullptr;
}

int CanvasSpeech::indexOfChild(const QAccessibleInterface *child) const
{
    const auto *canvas = static_cast<CanvasAccessible *>(QAccessible::queryAccessibleInterface(m_canvas));
    if (child && child->object()) {
        return canvas->indexOfOwnChild(child);
    }
    for (int i = canvas->ownChildCount(); i < childCount(); ++i) {
        if (this->child(i) == child) {
            return i;
        }
    }
    return -1;
}

QAccessibleInterface *CanvasSpeech::spoken() const
{
    return m_spoken ? QAccessible::accessibleInterface(m_spoken) : nullptr;
}

void CanvasSpeech::drop(QAccessible::Id &id, int index)
{
    if (id == 0) {
        return;
    }
    QAccessibleEvent gone(m_canvas, QAccessible::ObjectDestroyed);
    gone.setChild(index);
    QAccessible::updateAccessibility(&gone);
    QAccessible::deleteAccessibleInterface(id);
    id = 0;
}

void CanvasSpeech::verdictsShown()
{
    const int first = firstIndex();
    // Later children first, so that each index is still right when it goes.
    drop(m_spoken, first + int(m_ropes.size()) + (m_notice ? 1 : 0));
    if (m_noticeTellsVerdicts) {
        drop(m_notice, first + int(m_ropes.size()));
    }
    for (QAccessible::Id id : m_ropes) {
        if (id != 0) {
            QAccessible::deleteAccessibleInterface(id);
        }
    }
    const std::vector<game::JudgedRope> &ropes = m_canvas->judgedRopes();
    m_ropes.assign(ropes.size(), 0);
    QAccessibleEvent changed(m_canvas, QAccessible::ObjectReorder);
    QAccessible::updateAccessibility(&changed);
    if (ropes.empty() || !QAccessible::isActive()) {
        return;
    }
    // All the verdicts at once.
    announce(m_canvas->verdictTexts().join(QStringLiteral(". ")));
    m_noticeTellsVerdicts = true;
}

void CanvasSpeech::announce(const QString &text)
{
    const int index = firstIndex() + int(m_ropes.size());
    drop(m_spoken, index + (m_notice ? 1 : 0));
    drop(m_notice, index);
    // A notification shown: screen readers speak it wherever the focus is.
    m_notice = registerLeaf<CanvasText>(m_canvas, QAccessible::Notification, text);
    m_noticeTellsVerdicts = false;
    QAccessibleEvent shown(m_canvas, QAccessible::ObjectShow);
    shown.setChild(index);
    QAccessible::updateAccessibility(&shown);
}

void CanvasSpeech::say(const QString &text)
{
    if (!m_canvas->hasFocus() || !QAccessible::isActive()) {
        return;
    }
    // A fresh item each time: a screen reader speaks a focus that moves to a new
    // object, not one that comes back to the same.
    const int index = firstIndex() + int(m_ropes.size()) + (m_notice ? 1 : 0);
    drop(m_spoken, index);
    m_spoken = registerLeaf<CanvasText>(m_canvas, QAccessible::ListItem, text);
    QAccessibleEvent created(m_canvas, QAccessible::ObjectCreated);
    created.setChild(index);
    QAccessible::updateAccessibility(&created);
    QAccessibleEvent focus(m_canvas, QAccessible::Focus);
    focus.setChild(index);
    QAccessible::updateAccessibility(&focus);
}
