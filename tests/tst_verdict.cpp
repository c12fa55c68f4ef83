// The verdict on one rope, at and around every border it has.

#include "game/verdict.h"

#include <QTest>

#include <cmath>

Q_DECLARE_METATYPE(game::DrawStyle)

namespace {

const game::Point Centre{250, 250};
const game::Radii Radii{225, 75, 150};

} // namespace

class tst_Verdict : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void judge_data();
    void judge();
    void lineDistance_data();
    void lineDistance();
    void verdictInWords_data();
    void verdictInWords();
};

void tst_Verdict::judge_data()
{
    using game::DrawStyle;
    QTest::addColumn<double>("x1");
    QTest::addColumn<double>("y1");
    QTest::addColumn<double>("x2");
    QTest::addColumn<double>("y2");
    QTest::addColumn<DrawStyle>("verdict");

    QTest::newRow("both ends in the valley") << 300.0 << 100.0 << 300.0 << 400.0 << DrawStyle::DashDotDot;
    QTest::newRow("one end in the valley") << 10.0 << 150.0 << 300.0 << 400.0 << DrawStyle::DashDotDot;
    QTest::newRow("second end in the valley") << 10.0 << 150.0 << 250.0 << 250.0 << DrawStyle::DashDotDot;
    QTest::newRow("end exactly on the valley's edge") << 25.0 << 250.0 << 490.0 << 150.0 << DrawStyle::DashDotDot;
    QTest::newRow("end just outside the edge") << 24.999 << 250.0 << 490.0 << 150.0 << DrawStyle::Dot;
    QTest::newRow("through the centre") << 10.0 << 250.0 << 490.0 << 250.0 << DrawStyle::Dot;
    QTest::newRow("100 from the centre") << 10.0 << 150.0 << 490.0 << 150.0 << DrawStyle::Solid;
    QTest::newRow("190 from the centre") << 10.0 << 60.0 << 490.0 << 60.0 << DrawStyle::Dash;
    QTest::newRow("exactly 75: the fire's edge is safe") << 10.0 << 175.0 << 490.0 << 175.0 << DrawStyle::Solid;
    QTest::newRow("exactly 150: still close enough") << 10.0 << 100.0 << 490.0 << 100.0 << DrawStyle::Solid;
    QTest::newRow("just within the fire") << 10.0 << 175.001 << 490.0 << 175.001 << DrawStyle::Dot;
    QTest::newRow("just beyond the reach") << 10.0 << 99.999 << 490.0 << 99.999 << DrawStyle::Dash;
    QTest::newRow("vertical, exactly 75") << 325.0 << 10.0 << 325.0 << 490.0 << DrawStyle::Solid;
    QTest::newRow("diagonal through the centre") << 10.0 << 10.0 << 490.0 << 490.0 << DrawStyle::Dot;
    // The whole line counts, not the segment: both ends lie left of the valley
    // but the line runs through the dragon.
    QTest::newRow("same side, line through the centre") << 10.0 << 250.0 << 20.0 << 250.0 << DrawStyle::Dot;
    QTest::newRow("same side, line 100 away") << 10.0 << 150.0 << 20.0 << 150.0 << DrawStyle::Solid;
    // A rope whose ends coincide is judged by the distance to that point.
    QTest::newRow("coincident ends outside") << 10.0 << 10.0 << 10.0 << 10.0 << DrawStyle::Dash;
    QTest::newRow("coincident ends inside") << 250.0 << 300.0 << 250.0 << 300.0 << DrawStyle::DashDotDot;
    // The second end's Y is taken with its fraction, as the rope is drawn.
    // Rounded to a whole number it would move these lines across a border:
    // 100.2 to 99.6 passes 150.1 from the centre (too far), 100.2 to 100 only
    // 149.9; 174.8 to 175.4 passes 74.9 away (in the fire), 174.8 to 175 75.1.
    QTest::newRow("fractional second Y just beyond the reach") << 10.0 << 100.2 << 490.0 << 99.6 << DrawStyle::Dash;
    QTest::newRow("fractional second Y just inside the fire") << 10.0 << 174.8 << 490.0 << 175.4 << DrawStyle::Dot;
    QTest::newRow("second Y with a half") << 10.0 << 100.0 << 490.0 << 99.5 << DrawStyle::Dash;
}

void tst_Verdict::judge()
{
    QFETCH(double, x1);
    QFETCH(double, y1);
    QFETCH(double, x2);
    QFETCH(double, y2);
    QFETCH(game::DrawStyle, verdict);
    QCOMPARE(game::JudgeRope({x1, y1}, {x2, y2}, Centre, Radii), verdict);
    // Which end was clicked first makes no difference.
    QCOMPARE(game::JudgeRope({x2, y2}, {x1, y1}, Centre, Radii), verdict);
}

void tst_Verdict::lineDistance_data()
{
    QTest::addColumn<QPointF>("from");
    QTest::addColumn<QPointF>("to");
    QTest::addColumn<double>("expected");
    QTest::newRow("through the centre") << QPointF(10, 250) << QPointF(490, 250) << 0.0;
    QTest::newRow("above the centre") << QPointF(10, 150) << QPointF(490, 150) << 100.0;
    QTest::newRow("segment far away, line close") << QPointF(10, 250) << QPointF(100, 250) << 0.0;
    QTest::newRow("diagonal") << QPointF(0, 100) << QPointF(100, 0) << 400.0 / std::sqrt(2.0);
    QTest::newRow("one point") << QPointF(10, 250) << QPointF(10, 250) << 240.0;
}

void tst_Verdict::lineDistance()
{
    QFETCH(QPointF, from);
    QFETCH(QPointF, to);
    QFETCH(double, expected);
    QCOMPARE(game::LineDistance({from.x(), from.y()}, {to.x(), to.y()}, Centre), expected);
}

void tst_Verdict::verdictInWords_data()
{
    using game::DrawStyle;
    QTest::addColumn<int>("rope");
    QTest::addColumn<DrawStyle>("verdict");
    QTest::addColumn<QString>("text");

    // Each pattern's words, and ropes counted from 1 for the player.
    QTest::newRow("solid") << 0 << DrawStyle::Solid << "Въже 1: успех";
    QTest::newRow("dash") << 1 << DrawStyle::Dash << "Въже 2: твърде далеч от дракона";
    QTest::newRow("dot") << 2 << DrawStyle::Dot << "Въже 3: в огъня на дракона";
    QTest::newRow("dash-dot-dot") << 11 << DrawStyle::DashDotDot
                                  << "Въже 12: край на въжето в долината";
}

void tst_Verdict::verdictInWords()
{
    QFETCH(int, rope);
    QFETCH(game::DrawStyle, verdict);
    QTEST(QString::fromStdString(game::VerdictText(size_t(rope), verdict)), "text");
}

QTEST_APPLESS_MAIN(tst_Verdict)
#include "tst_verdict.moc"
