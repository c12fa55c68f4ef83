// The one store of points: each point's X and Y stay side by side through
// additions, removals and clearing, so the dots redrawn and the ropes judged are
// the points the two lists show, and a removal leaves nothing selected.

#include "surface/pointmodel.h"

#include "game/numbers.h"

#include <QItemSelectionModel>
#include <QTest>

#include <vector>

namespace {

using Points = std::vector<game::Point>;

void fill(PointModel &model, const Points &points)
{
    for (const game::Point &point : points) {
        model.Add(point);
    }
}

// Every row against `expected`: the values the game reads and the texts both
// lists show.
void checkRows(const PointModel &model, const Points &expected)
{
    QCOMPARE(model.rowCount(), int(expected.size()));
    QCOMPARE(model.Points().size(), expected.size());
    for (int row = 0; row < int(expected.size()); ++row) {
        const game::Point &point = expected[size_t(row)];
        QCOMPARE(model.Points()[size_t(row)].x, point.x);
        QCOMPARE(model.Points()[size_t(row)].y, point.y);
        QCOMPARE(model.index(row, 0).data().toString(),
                 QString::fromStdString(game::FormatSingle(point.x)));
        QCOMPARE(model.index(row, 1).data().toString(),
                 QString::fromStdString(game::FormatSingle(point.y)));
    }
}

} // namespace

class tst_PointModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void textsAsTheListsShowThem_data();
    void textsAsTheListsShowThem();
    void removalKeepsXAndYTogether_data();
    void removalKeepsXAndYTogether();
    void clearThenAddStartsAfresh();
    void outOfRangeRemovalIsHarmless();
};

void tst_PointModel::textsAsTheListsShowThem_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("whole") << 250.0 << "250";
    QTest::newRow("seven digits") << 166.6667 << "166.6667";
    QTest::newRow("small") << 1.689189 << "1.689189";
    QTest::newRow("last pixel") << 498.3108 << "498.3108";
    QTest::newRow("zero") << 0.0 << "0";
}

void tst_PointModel::textsAsTheListsShowThem()
{
    QFETCH(double, value);
    QFETCH(QString, text);

    // Among other points, so that its place in the lists is tested too.
    PointModel model;
    fill(model, {{83.33334, 1}, {value, 500 - value}, {416.6667, 2}});
    QCOMPARE(model.index(1, 0).data().toString(), text);
    QCOMPARE(model.index(1, 1).data().toString(),
             QString::fromStdString(game::FormatSingle(500 - value)));
}

void tst_PointModel::removalKeepsXAndYTogether_data()
{
    QTest::addColumn<int>("row");

    QTest::newRow("first") << 0;
    QTest::newRow("middle") << 2;
    QTest::newRow("last") << 4;
}

void tst_PointModel::removalKeepsXAndYTogether()
{
    QFETCH(int, row);

    PointModel model;
    Points points = {{1, 10}, {22.5, 20}, {333.3333, 30}, {4, 40}, {7.25, 50}};
    fill(model, points);
    // The removed point was selected, as the remove button needs it.
    model.selectionModel()->setCurrentIndex(model.index(row, 0),
                                            QItemSelectionModel::ClearAndSelect
                                                | QItemSelectionModel::Rows);
    QCOMPARE(model.Selected(), row);

    model.RemoveAt(row);
    points.erase(points.begin() + row);
    checkRows(model, points);
    // Qt would hand the selection to a neighbour; nothing is to be selected.
    QCOMPARE(model.Selected(), -1);
    QVERIFY(!model.selectionModel()->currentIndex().isValid());

    model.Add({499.9999, 60});
    points.push_back({499.9999, 60});
    checkRows(model, points);
}

void tst_PointModel::clearThenAddStartsAfresh()
{
    PointModel model;
    fill(model, {{10, 1}, {20, 2}, {30, 3}});
    model.selectionModel()->select(model.index(1, 0),
                                   QItemSelectionModel::Select | QItemSelectionModel::Rows);
    model.Clear();
    checkRows(model, {});
    QCOMPARE(model.Selected(), -1);

    fill(model, {{40.5, 4}, {50, 5}});
    checkRows(model, {{40.5, 4}, {50, 5}});
}

void tst_PointModel::outOfRangeRemovalIsHarmless()
{
    PointModel model;
    fill(model, {{10, 1}, {20, 2}});
    model.RemoveAt(2);
    model.RemoveAt(-1);
    checkRows(model, {{10, 1}, {20, 2}});
}

QTEST_MAIN(tst_PointModel)
#include "tst_pointmodel.moc"
