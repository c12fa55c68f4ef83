#include "surface/pointlistview.h"

#include "surface/accessibleleaf.h"
#include "surface/pointmodel.h"

#include <QAccessibleWidget>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

namespace {

// An entry of a list as a screen reader hears it: the point, as the model words
// it ("Точка 1: 13,51351"). An entry is known by its place.
class EntryAccessible : public AccessibleLeaf
{
public:
    EntryAccessible(PointListView *list, int row) : AccessibleLeaf(list, QAccessible::ListItem), m_row(row) {}

    bool isValid() const override { return m_owner && m_row < list()->model()->rowCount(); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? index().data(Qt::AccessibleTextRole).toString() : QString();
    }
    QRect rect() const override
    {
        const QRect entry = isValid() ? list()->visualRect(index()) : QRect();
        return entry.isValid() ? entry.translated(list()->viewport()->mapToGlobal(QPoint())) : entry;
    }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        state.invalid = !isValid();
        state.selectable = state.focusable = isValid();
        state.selected = isValid() && list()->selectionModel()->isRowSelected(m_row);
        state.focused = isValid() && list()->hasFocus() && list()->currentIndex().row() == m_row;
        state.invisible = !isValid() || !list()->viewport()->rect().intersects(list()->visualRect(index()));
        return state;
    }

private:
    PointListView *list() const { return static_cast<PointListView *>(m_owner.data()); }
    QModelIndex index() const { return list()->model()->index(m_row, list()->modelColumn()); }

    int m_row;
};

// A list of points as a list of its entries, one per point, rather than the
// table of both columns that Qt would make of it.
class ListAccessible : public QAccessibleWidget
{
public:
    explicit ListAccessible(PointListView *list) : QAccessibleWidget(list, QAccessible::List) {}
    ~ListAccessible() override { deleteLeaves(m_entries); }

    int childCount() const override { return list()->model()->rowCount(); }
    QAccessibleInterface *child(int row) const override
    {
        if (row < 0 || row >= childCount()) {
            return nullptr;
        }
        m_entries.resize(std::max(m_entries.size(), size_t(row) + 1), 0);
        if (m_entries[size_t(row)] == 0) {
            m_entries[size_t(row)] = registerLeaf<EntryAccessible>(list(), row);
        }
        return QAccessible::accessibleInterface(m_entries[size_t(row)]);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        const auto id = child ? QAccessible::uniqueId(const_cast<QAccessibleInterface *>(child)) : 0;
        const auto row = int(std::find(m_entries.begin(), m_entries.end(), id) - m_entries.begin());
        return id != 0 && row < childCount() ? row : -1;
    }
    // What UI Automation asks for when it looks for the focus (AT-SPI follows events).
    QAccessibleInterface *focusChild() const override
    {
        return list()->hasFocus() ? child(list()->currentIndex().row()) : nullptr;
    }

private:
    PointListView *list() const { return static_cast<PointListView *>(widget()); }

    mutable std::vector<QAccessible::Id> m_entries;
};

QAccessibleInterface *listFactory(const QString &className, QObject *object)
{
    return className == QLatin1String("PointListView") ? new ListAccessible(static_cast<PointListView *>(object))
                                                       : nullptr;
}

} // namespace

PointListView::PointListView(PointModel *points, int column, QWidget *parent)
    : QTableView(parent)
    , m_column(column)
{
    // Hidden before the model comes: a shown header would load its bold font.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setModel(points);
    setColumnHidden(1 - column, true);
    QItemSelectionModel *own = selectionModel();
    setSelectionModel(points->selectionModel());
    delete own;
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->setStretchLastSection(true);
    // Rows as high as a list's: the font's line spacing.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing());
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_hearCurrent.setSingleShot(true);
    connect(&m_hearCurrent, &QTimer::timeout, this, [this] { currentChanged(currentIndex(), currentIndex()); });
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    [[maybe_unused]] static const bool accessible = (QAccessible::installFactory(listFactory), true);
}

void PointListView::mousePressEvent(QMouseEvent *event)
{
    // A click below the last entry selects no point. Left to itself, a table in
    // single selection clears its selection there under Qt 6.4 and keeps it under
    // later releases.
    if (!indexAt(event->position().toPoint()).isValid()) {
        selectionModel()->clearSelection();
    }
    QTableView::mousePressEvent(event);
}

QModelIndex PointListView::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // The shared current entry may stand in the other list's column, hidden here.
    QItemSelectionModel *selection = selectionModel();
    const QModelIndex current = selection->currentIndex();
    if (current.isValid() && current.column() != m_column) {
        selection->setCurrentIndex(current.siblingAtColumn(m_column), QItemSelectionModel::NoUpdate);
    }
    // Home and End go to the first and the last entry, as in a list; in a table
    // they would go along the row.
    if (action == MoveHome || action == MoveEnd) {
        modifiers |= Qt::ControlModifier;
    }
    return QTableView::moveCursor(action, modifiers);
}

void PointListView::focusInEvent(QFocusEvent *event)
{
    QTableView::focusInEvent(event);
    // A screen reader hears the list's current entry after the list itself, whose
    // focus is announced once this returns.
    m_hearCurrent.start(0);
}

void PointListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The current entry chosen in the other list is that list's cell: this list
    // takes the same row in its own column, and scrolls it into sight.
    const QModelIndex row = current.isValid() ? current.siblingAtColumn(m_column) : current;
    const QModelIndex was = previous.isValid() ? previous.siblingAtColumn(m_column) : previous;
    // Past the table's own announcement, which names a cell of every column and
    // is made whether or not the list has the focus: a screen reader hears of
    // the entry, one of the list's entries, only from the list that has it.
    QAbstractItemView::currentChanged(row, was); // NOLINT(bugprone-parent-virtual-call)
    if (row.isValid() && hasFocus()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(row.row());
        QAccessible::updateAccessibility(&focus);
    }
}

// Past the table's announcement of selected cells, by a table's numbering.
void PointListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    QAbstractItemView::selectionChanged(selected, deselected); // NOLINT(bugprone-parent-virtual-call)
}
