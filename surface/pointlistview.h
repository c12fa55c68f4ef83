#pragma once

#include <QTableView>
#include <QTimer>

class PointModel;

// One list of the points: the X list shows column 0 of the model, the Y list
// column 1; both share its one selection of whole rows, and each keeps the
// selected point in sight. A table, not a QListView, which lays out every row
// again on each insert: a press would grow with the number of points.
class PointListView : public QTableView
{
    Q_OBJECT

public:
    PointListView(PointModel *points, int column, QWidget *parent = nullptr);

    // The column of the points this list shows.
    int modelColumn() const { return m_column; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;
    void currentChanged(const QModelIndex &current, const QModelIndex &previous) override;
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected) override;

private:
    int m_column = 0;
    QTimer m_hearCurrent;
};
