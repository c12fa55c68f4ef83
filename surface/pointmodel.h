#pragma once

#include "game/operations.h"

#include <QAbstractTableModel>

#include <vector>

class QItemSelectionModel;

// The points, one row each: column 0 is X and column 1 is Y, shown as the game's
// number text. The X list and the Y list are views of one column each and share
// the model's one selection of whole rows, so selecting in either list selects
// the same point in both.
class PointModel : public QAbstractTableModel, public game::PointList
{
    Q_OBJECT

public:
    explicit PointModel(QObject *parent = nullptr);

    // The selection both lists show.
    QItemSelectionModel *selectionModel() const { return m_selection; }
    // Point `row`'s X (column 0) or Y (column 1) as Bulgarian speech reads a
    // number, with a decimal comma ("13,51351"), where the lists show "13.51351".
    QString spoken(int row, int column) const;

    int rowCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : int(m_points.size()); }
    int columnCount(const QModelIndex &parent = {}) const override { return parent.isValid() ? 0 : 2; }
    QVariant data(const QModelIndex &index, int role) const override;

    void Add(game::Point point) override;
    void RemoveAt(int index) override;
    void Clear() override;
    int Selected() const override;
    const std::vector<game::Point> &Points() const override { return m_points; }

private:
    std::vector<game::Point> m_points;
    QItemSelectionModel *m_selection = nullptr;
};
