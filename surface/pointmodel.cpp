#include "surface/pointmodel.h"

#include "game/numbers.h"

#include <QItemSelectionModel>

PointModel::PointModel(QObject *parent) : QAbstractTableModel(parent), m_selection(new QItemSelectionModel(this, this))
{
}

QVariant PointModel::data(const QModelIndex &index, int role) const
{
    if ((role != Qt::DisplayRole && role != Qt::AccessibleTextRole) || !checkIndex(index, CheckIndexOption::IndexIsValid)) {
        return {};
    }
    if (role == Qt::AccessibleTextRole) {
        // Heard as a point with its number: "Точка 1: 13,51351".
        return QStringLiteral("Точка %1: %2").arg(index.row() + 1).arg(spoken(index.row(), index.column()));
    }
    const game::Point &point = m_points[size_t(index.row())];
    return QString::fromStdString(game::FormatSingle(index.column() == 0 ? point.x : point.y));
}

QString PointModel::spoken(int row, int column) const
{
    return data(index(row, column), Qt::DisplayRole).toString().replace(u'.', u',');
}

void PointModel::Add(game::Point point)
{
    const int row = int(m_points.size());
    beginInsertRows({}, row, row);
    m_points.push_back(point);
    endInsertRows();
}

void PointModel::RemoveAt(int index)
{
    if (index < 0 || index >= int(m_points.size())) {
        return;
    }
    beginRemoveRows({}, index, index);
    m_points.erase(m_points.begin() + index);
    endRemoveRows();
    // Qt hands the current mark to a neighbour of the removed row; the point is
    // gone and nothing is to be selected.
    m_selection->clear();
}

void PointModel::Clear()
{
    beginResetModel();
    m_points.clear();
    endResetModel();
    m_selection->clear();
}

int PointModel::Selected() const
{
    const QModelIndexList rows = m_selection->selectedIndexes();
    return rows.isEmpty() ? -1 : rows.constFirst().row();
}
