// The game against stand-in controls: what it draws, in which order, and what it
// does to the lists and the judge button, without any window.

#include "game/valleygame.h"

#include <QStringList>
#include <QTest>

#include <memory>
#include <vector>

namespace {

QString colorName(game::Color c)
{
    return QStringLiteral("rgb(%1,%2,%3)").arg(game::RedOf(c)).arg(game::GreenOf(c)).arg(game::BlueOf(c));
}

// Records every drawing call as one line of text.
class RecordingCanvas : public game::Canvas
{
public:
    QStringList calls;
    float scaleWidth = 500;
    float scaleHeight = 500;

    void SetScaleWidth(float units) override { scaleWidth = units; }
    void SetScaleHeight(float units) override { scaleHeight = units; }
    float ScaleWidth() const override { return scaleWidth; }
    float ScaleHeight() const override { return scaleHeight; }
    void SetBackColor(game::Color c) override { calls << "BackColor " + colorName(c); }
    void Cls() override { calls << QStringLiteral("Cls"); }
    void SetDrawWidth(int pixels) override { calls << QStringLiteral("DrawWidth %1").arg(pixels); }
    void SetDrawStyle(game::DrawStyle style) override
    {
        calls << QStringLiteral("DrawStyle %1").arg(int(style));
    }
    void Circle(double x, double y, double r, game::Color c) override
    {
        calls << QStringLiteral("Circle %1 %2 %3 ").arg(x).arg(y).arg(r) + colorName(c);
    }
    void PSet(double x, double y) override { calls << QStringLiteral("PSet %1 %2").arg(x).arg(y); }
    void Line(float x1, float y1, float x2, float y2) override
    {
        calls << QStringLiteral("Line %1 %2 %3 %4").arg(x1).arg(y1).arg(x2).arg(y2);
    }

    // The verdicts shown, and how many times they were.
    std::vector<game::JudgedRope> ropes;
    int shown = 0;
    void ShowVerdicts(const std::vector<game::JudgedRope> &given) override
    {
        ropes = given;
        ++shown;
    }
};

class FakePoints : public game::PointList
{
public:
    std::vector<game::Point> points;
    int selected = -1;

    void Add(game::Point point) override { points.push_back(point); }
    void RemoveAt(int index) override
    {
        points.erase(points.begin() + index);
        selected = -1;
    }
    void Clear() override
    {
        points.clear();
        selected = -1;
    }
    int Selected() const override { return selected; }
    const std::vector<game::Point> &Points() const override { return points; }

    // The X list's or the Y list's texts.
    QStringList texts(double game::Point::*coordinate) const
    {
        QStringList result;
        for (const game::Point &point : points) {
            result << QString::fromStdString(game::FormatSingle(point.*coordinate));
        }
        return result;
    }
};

class FakeControl
{
public:
    bool enabled = true;
    bool visible = true;
    int changes = 0;

    void SetEnabled(bool on)
    {
        enabled = on;
        ++changes;
    }
    void SetVisible(bool on)
    {
        visible = on;
        ++changes;
    }
};

// The first colours of the random sequence, three numbers each.
const QString FirstColor = QStringLiteral("rgb(180,136,148)");
const QString SecondColor = QStringLiteral("rgb(74,77,198)");
const QString ThirdColor = QStringLiteral("rgb(4,194,208)");
const QString FourthColor = QStringLiteral("rgb(181,12,106)");

} // namespace

class tst_ValleyGame : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void resetDrawsOnlyTheValley();
    void geometryFollowsTheScale_data();
    void geometryFollowsTheScale();
    void pressAddsDotAndPoint();
    void judgeButtonFollowsParity();
    void judgingDrawsCirclesThenRopes();
    void judgingSkipsTheUnpairedPoint();
    void judgingNeedsTwoPoints_data();
    void judgingNeedsTwoPoints();
    void removalRedrawsRemainingDots();
    void removalWithoutSelectionChangesNothing();
    void clearAllEmptiesListsAndResets();

private:
    void addPoints(const std::vector<std::pair<float, float>> &points);

    // Renewed for every test.
    std::unique_ptr<RecordingCanvas> canvas;
    std::unique_ptr<FakePoints> points;
    std::unique_ptr<FakeControl> judgeButton;
    std::unique_ptr<FakeControl> illustration;
    std::unique_ptr<game::ValleyGame> game;
};

void tst_ValleyGame::init()
{
    canvas = std::make_unique<RecordingCanvas>();
    points = std::make_unique<FakePoints>();
    judgeButton = std::make_unique<FakeControl>();
    illustration = std::make_unique<FakeControl>();
    game = std::make_unique<game::ValleyGame>(
        game::ValleyGame::Controls{*canvas, *points, [this](bool on) { judgeButton->SetEnabled(on); },
                                   [this](bool on) { illustration->SetVisible(on); }});
}

void tst_ValleyGame::addPoints(const std::vector<std::pair<float, float>> &points)
{
    for (const auto &[x, y] : points) {
        game->AddPoint(x, y);
    }
}

void tst_ValleyGame::resetDrawsOnlyTheValley()
{
    judgeButton->enabled = false;
    game->ResetBoard();
    QCOMPARE(canvas->calls, QStringList({"BackColor rgb(255,255,255)", "Cls", "DrawWidth 5",
                                         "Circle 250 250 225 " + FirstColor}));
    QVERIFY(judgeButton->enabled);
    QCOMPARE(game->ValleyRadius, 225.0);
    QCOMPARE(game->ReachRadius, 150.0);
    QCOMPARE(game->DragonRadius, 75.0);

    // Every reset takes a new colour.
    canvas->calls.clear();
    game->ResetBoard();
    QCOMPARE(canvas->calls.last(), "Circle 250 250 225 " + SecondColor);
}

void tst_ValleyGame::geometryFollowsTheScale_data()
{
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("centerX");
    QTest::addColumn<int>("centerY");
    QTest::addColumn<double>("valley");
    QTest::newRow("500 by 500") << 500.0f << 500.0f << 250 << 250 << 225.0;
    QTest::newRow("odd scale drops the half") << 301.0f << 301.0f << 150 << 150 << 135.0;
    QTest::newRow("scale rounded to even first") << 300.5f << 302.5f << 150 << 151 << 0.9 * 151;
    QTest::newRow("radius from the height") << 600.0f << 200.0f << 300 << 100 << 90.0;
}

void tst_ValleyGame::geometryFollowsTheScale()
{
    QFETCH(float, width);
    QFETCH(float, height);
    canvas->scaleWidth = width;
    canvas->scaleHeight = height;
    game->ResetBoard();
    QTEST(game->CenterX, "centerX");
    QTEST(game->CenterY, "centerY");
    QTEST(game->ValleyRadius, "valley");
}

void tst_ValleyGame::pressAddsDotAndPoint()
{
    game->ResetBoard();
    canvas->calls.clear();
    game->AddPoint(168.9189f, 500.0f / 3.0f);
    QCOMPARE(canvas->calls, QStringList({"DrawWidth 5", "PSet 168.919 166.667", "DrawWidth 1"}));
    QCOMPARE(points->texts(&game::Point::x), QStringList({"168.9189"}));
    QCOMPARE(points->texts(&game::Point::y), QStringList({"166.6667"}));
    // The point is kept as its text reads, which judging and redrawing use.
    QCOMPARE(points->points[0].x, 168.9189);
    QCOMPARE(points->points[0].y, 166.6667);
    QVERIFY(!illustration->visible);
}

void tst_ValleyGame::judgeButtonFollowsParity()
{
    game->ResetBoard();
    for (int count = 1; count <= 6; ++count) {
        game->AddPoint(float(count), 10.0f);
        QCOMPARE(judgeButton->enabled, count % 2 == 0);
    }
}

void tst_ValleyGame::judgingDrawsCirclesThenRopes()
{
    game->ResetBoard();
    addPoints({{10, 150}, {490, 150}, {10, 250}, {490, 250}, {10, 60}, {490, 60}, {300, 100}, {300, 400}});
    canvas->calls.clear();
    game->Judge();
    QCOMPARE(canvas->calls, QStringList({
        "DrawWidth 5",
        "Circle 250 250 150 " + SecondColor,
        "Circle 250 250 75 " + ThirdColor,
        "DrawWidth 1",
        "DrawStyle 0", "Line 10 150 490 150",
        "DrawStyle 2", "Line 10 250 490 250",
        "DrawStyle 1", "Line 10 60 490 60",
        "DrawStyle 4", "Line 300 100 300 400",
    }));
    QVERIFY(!judgeButton->enabled);
    QCOMPARE(int(points->points.size()), 8); // judging leaves the points alone
    // The verdicts shown in words are those drawn, rope by rope.
    const std::vector<game::DrawStyle> drawn{game::DrawStyle::Solid, game::DrawStyle::Dot,
                                             game::DrawStyle::Dash, game::DrawStyle::DashDotDot};
    QCOMPARE(canvas->ropes.size(), drawn.size());
    for (size_t k = 0; k < drawn.size(); ++k) {
        QCOMPARE(canvas->ropes[k].verdict, drawn[k]);
        QCOMPARE(canvas->ropes[k].from.x, points->points[2 * k].x);
        QCOMPARE(canvas->ropes[k].to.y, points->points[2 * k + 1].y);
    }
}

void tst_ValleyGame::judgingSkipsTheUnpairedPoint()
{
    game->ResetBoard();
    addPoints({{10, 150}, {490, 150}, {10, 250}});
    canvas->calls.clear();
    game->JudgeRopes();
    QCOMPARE(canvas->calls.filter(QStringLiteral("Line")), QStringList({"Line 10 150 490 150"}));
}

void tst_ValleyGame::judgingNeedsTwoPoints_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("none") << 0;
    QTest::newRow("one") << 1;
}

void tst_ValleyGame::judgingNeedsTwoPoints()
{
    QFETCH(int, points);
    game->ResetBoard();
    for (int i = 0; i < points; ++i) {
        game->AddPoint(10, 10);
    }
    judgeButton->enabled = true;
    canvas->calls.clear();
    game->Judge();
    QCOMPARE(canvas->calls, QStringList());
    QVERIFY(!judgeButton->enabled);
}

void tst_ValleyGame::removalRedrawsRemainingDots()
{
    game->ResetBoard();
    addPoints({{1, 2}, {3, 4}, {5.5f, 6.25f}});
    game->JudgeRopes();
    QCOMPARE(canvas->ropes.size(), size_t(1));
    points->selected = 1;
    const int judgeChanges = judgeButton->changes;
    canvas->calls.clear();
    game->RemoveSelectedPoint();
    // The ropes are erased, and their verdicts with them.
    QVERIFY(canvas->ropes.empty());
    QCOMPARE(points->texts(&game::Point::x), QStringList({"1", "5.5"}));
    QCOMPARE(points->texts(&game::Point::y), QStringList({"2", "6.25"}));
    QCOMPARE(canvas->calls, QStringList({"Cls", "DrawWidth 5", "Circle 250 250 225 " + FourthColor,
                                         "PSet 1 2", "PSet 5.5 6.25", "DrawWidth 1"}));
    QCOMPARE(judgeButton->changes, judgeChanges);
}

void tst_ValleyGame::removalWithoutSelectionChangesNothing()
{
    // Erasing the board while the lists keep every point would show a false board.
    game->ResetBoard();
    addPoints({{10, 150}, {490, 150}});
    game->JudgeRopes();
    canvas->calls.clear();
    const int shown = canvas->shown;
    game->RemoveSelectedPoint();
    QCOMPARE(canvas->calls, QStringList());
    QCOMPARE(canvas->shown, shown); // the rope is still drawn, its verdict still shown
    QCOMPARE(int(points->points.size()), 2);
}

void tst_ValleyGame::clearAllEmptiesListsAndResets()
{
    game->ResetBoard();
    addPoints({{10, 150}, {490, 150}});
    game->Judge();
    addPoints({{1, 2}});
    QVERIFY(!judgeButton->enabled);
    canvas->calls.clear();
    game->ClearAll();
    QVERIFY(canvas->ropes.empty());
    QCOMPARE(int(points->points.size()), 0);
    QVERIFY(judgeButton->enabled);
    QVERIFY(!illustration->visible); // clearing shows no illustration again
    QCOMPARE(canvas->calls.last(), "Circle 250 250 225 " + FourthColor);
}

QTEST_APPLESS_MAIN(tst_ValleyGame)
#include "tst_valleygame.moc"
