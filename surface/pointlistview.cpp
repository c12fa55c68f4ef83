#include "surface/pointlistview.h"

#include "surface/pointmodel.h"

#include <QAccessible>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QMouseEvent>

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
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
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

void PointListView::currentChanged(const QModelIndex &current, const QModelIndex &previous)
{
    // The current entry chosen in the other list is that list's cell: this list
    // takes the same row in its own column, and scrolls it into sight.
    const QModelIndex row = current.isValid() ? current.siblingAtColumn(m_column) : current;
    const QModelIndex was = previous.isValid() ? previous.siblingAtColumn(m_column) : previous;
    // Past the table's own announcement, which names a cell of every column and
    // is made whether or not the list has the focus: screen readers read this
    // list as a list of its entries, and hear of the entry only from the list
    // that has the focus.
    QAbstractItemView::currentChanged(row, was); // NOLINT(bugprone-parent-virtual-call)
    if (row.isValid() && hasFocus() && QAccessible::isActive()) {
        QAccessibleEvent focus(this, QAccessible::Focus);
        focus.setChild(row.row());
        QAccessible::updateAccessibility(&focus);
    }
}

void PointListView::selectionChanged(const QItemSelection &selected, const QItemSelection &deselected)
{
    // Past the table's announcement of selected cells, by a table's numbering.
    QAbstractItemView::selectionChanged(selected, deselected); // NOLINT(bugprone-parent-virtual-call)
}
