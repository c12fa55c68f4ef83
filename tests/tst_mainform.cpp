// The real window driven as a player drives it: presses on the canvas, list
// selections and the three buttons, checked against the lists, the judge button
// and the pixels of the canvas.

#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"
#include "surface/pointmodel.h"
#include "testsupport.h"

#include <QApplication>
#include <QItemSelectionModel>
#include <QLabel>
#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTest>

#include <set>

using testsupport::isBlack;
using testsupport::isWhite;
using testsupport::pixelAt;

using testsupport::currentRow;
using testsupport::listCount;
using testsupport::listIndex;
using testsupport::listText;
using testsupport::rowRect;
using testsupport::setListIndex;

namespace {

// Pixels of the drawing area beside the illustration, and the canvas units
// (x = pixel * 500 / 296) they give.
struct Press
{
    QPoint pixel;
    QString x;
    QString y;
};

const QColor ValleyColor(180, 136, 148);     // the first valley after start-up
const QColor SecondValleyColor(74, 77, 198); // the next colour of the sequence
const QColor ReachColor(74, 77, 198);        // first judging after start-up
const QColor FireColor(4, 194, 208);

QStringList texts(const PointListView &list)
{
    QStringList result;
    for (int i = 0; i < listCount(&list); ++i) {
        result << listText(&list, i);
    }
    return result;
}

// Distinct lengths of the dark and of the light runs along an image row between
// two columns, leaving out the first two runs and the last two: the end dots
// merge with the line there and may cut a gap short.
struct RunLengths
{
    std::set<int> dark;
    std::set<int> light;
};

RunLengths innerRuns(const QImage &image, int row, int from, int to)
{
    const std::vector<int> runs = testsupport::runsAlongRow(image, row, from, to);
    RunLengths lengths;
    for (size_t i = 2; i + 2 < runs.size(); ++i) {
        (i % 2 == 0 ? lengths.dark : lengths.light).insert(runs[i]);
    }
    return lengths;
}

} // namespace

class tst_MainForm : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

    void startupShowsOnlyTheValley();
    void pressesFillListsAndDrawDots_data();
    void pressesFillListsAndDrawDots();
    void judgeButtonFollowsPressesAndJudging();
    void selectionByMouseSelectsBothLists_data();
    void selectionByMouseSelectsBothLists();
    void selectionByKeyboardSelectsBothLists();
    void clickBelowTheLastEntrySelectsNothing_data();
    void clickBelowTheLastEntrySelectsNothing();
    void removingTheMiddlePoint();
    void removingWithNothingSelectedChangesNothing();
    void pressOnIllustrationAddsNothing();
    void clearAllAfterPresses();
    void ropesAreDrawnInTheirVerdictsPatterns();
    void judgingWithTooFewPointsDrawsNothing_data();
    void judgingWithTooFewPointsDrawsNothing();
    void oddPointIsNotJudged();
    void drawingSurvivesHideAndShow();
    void keyboardPlacementMatchesAPress_data();
    void keyboardPlacementMatchesAPress();

private:
    void press(QPoint pixel, Qt::MouseButton button = Qt::LeftButton);
    void pressPoints(const QList<QPoint> &pixels);
    // A click on entry `row` of list `list`, as the user selects it.
    void select(int list, int row)
    {
        PointListView &box = *form->List1[size_t(list)];
        QTest::mouseClick(box.viewport(), Qt::LeftButton, Qt::NoModifier, rowRect(&box, row).center());
    }
    void click(int button) { QTest::mouseClick(form->Command1[size_t(button)], Qt::LeftButton); }
    bool judgeEnabled() const { return form->Command1[0]->isEnabled(); }
    int blackPixels() const { return blackPixelsAwayFrom({}); }
    // Black pixels farther than a dot's radius from every one of `dots` (logical pixels).
    int blackPixelsAwayFrom(const QList<QPointF> &dots) const;
    
    std::unique_ptr<MainForm> form;
};

void tst_MainForm::init()
{
    form = std::make_unique<MainForm>();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
}

void tst_MainForm::cleanup()
{
    form.reset();
}

void tst_MainForm::press(QPoint pixel, Qt::MouseButton button)
{
    testsupport::pressOnDrawingArea(*form->Picture1, pixel, button);
}

void tst_MainForm::pressPoints(const QList<QPoint> &pixels)
{
    for (const QPoint &pixel : pixels) {
        press(pixel);
    }
}

int tst_MainForm::blackPixelsAwayFrom(const QList<QPointF> &dots) const
{
    const QImage &image = form->Picture1->image();
    const double ratio = image.devicePixelRatio();
    int count = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (!isBlack(image.pixelColor(x, y))) {
                continue;
            }
            const QPointF at = QPointF(x + 0.5, y + 0.5) / ratio;
            const bool nearDot = std::any_of(dots.begin(), dots.end(), [&](const QPointF &dot) {
                return QLineF(at, dot).length() <= 3.5; // radius 2.5, plus a pixel either way
            });
            count += nearDot ? 0 : 1;
        }
    }
    return count;
}

void tst_MainForm::startupShowsOnlyTheValley()
{
    const CanvasWidget &canvas = *form->Picture1;
    QCOMPARE(listCount(form->List1[0]), 0);
    QCOMPARE(listCount(form->List1[1]), 0);
    QVERIFY(judgeEnabled());
    QVERIFY(form->Picture2->isVisible());

    // The valley: radius 225 round (250, 250), in the first colour, on white.
    for (const QPointF &onCircle : {QPointF(475, 250), QPointF(25, 250), QPointF(250, 25), QPointF(250, 475)}) {
        QCOMPARE(pixelAt(canvas, onCircle.x(), onCircle.y()), ValleyColor);
    }
    for (const QPointF &white : {QPointF(250, 250), QPointF(250, 150), QPointF(150, 250), QPointF(5, 5),
                                 QPointF(495, 495), QPointF(455, 250), QPointF(495, 250)}) {
        QVERIFY2(isWhite(pixelAt(canvas, white.x(), white.y())), qPrintable(QString::number(white.x())));
    }
    // 5 pixels wide, measured across the ring on the centre row.
    const QImage &image = canvas.image();
    const double ratio = image.devicePixelRatio();
    const int row = int(canvas.toPixels(250, 250).y() * ratio);
    int ring = 0;
    for (int x = int(canvas.toPixels(440, 0).x() * ratio); x < image.width(); ++x) {
        ring += image.pixelColor(x, row) == ValleyColor ? 1 : 0;
    }
    QCOMPARE(ring, int(5 * ratio));
    QCOMPARE(blackPixels(), 0);
}

void tst_MainForm::pressesFillListsAndDrawDots_data()
{
    QTest::addColumn<QList<Press>>("presses");
    QTest::addColumn<Qt::MouseButton>("button");
    const QList<Press> corners{{{0, 0}, "0", "0"},
                               {{295, 10}, "498.3108", "16.89189"},
                               {{10, 295}, "16.89189", "498.3108"},
                               {{148, 290}, "250", "489.8649"}};
    QTest::newRow("left button") << corners << Qt::LeftButton;
    QTest::newRow("right button") << corners << Qt::RightButton;
    QTest::newRow("middle button") << corners << Qt::MiddleButton;
}

void tst_MainForm::pressesFillListsAndDrawDots()
{
    QFETCH(QList<Press>, presses);
    QFETCH(Qt::MouseButton, button);
    QStringList xs;
    QStringList ys;
    for (const Press &p : presses) {
        press(p.pixel, button);
        xs << p.x;
        ys << p.y;
        QCOMPARE(texts(*form->List1[0]), xs);
        QCOMPARE(texts(*form->List1[1]), ys);
        QVERIFY(isBlack(pixelAt(*form->Picture1, p.x.toDouble(), p.y.toDouble())));
    }
    QVERIFY(!form->Picture2->isVisible());
}

void tst_MainForm::judgeButtonFollowsPressesAndJudging()
{
    for (int count = 1; count <= 6; ++count) {
        press({5, 5 + count});
        QCOMPARE(judgeEnabled(), count % 2 == 0);
    }
    click(0);
    QVERIFY(!judgeEnabled());
    click(0); // disabled: nothing happens
    QVERIFY(!judgeEnabled());
    press({5, 100});
    QVERIFY(!judgeEnabled());
    press({5, 110});
    QVERIFY(judgeEnabled());
}

void tst_MainForm::selectionByMouseSelectsBothLists_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<int>("row");
    QTest::newRow("X list, first") << 0 << 0;
    QTest::newRow("X list, last") << 0 << 3;
    QTest::newRow("Y list, middle") << 1 << 2;
}

void tst_MainForm::selectionByMouseSelectsBothLists()
{
    QFETCH(int, clicked);
    QFETCH(int, row);
    pressPoints({{5, 5}, {5, 15}, {5, 25}, {5, 35}});
    QSignalSpy changes(form->List1[0]->selectionModel(), &QItemSelectionModel::selectionChanged);
    PointListView &list = *form->List1[size_t(clicked)];
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, rowRect(&list, row).center());
    QCOMPARE(listIndex(form->List1[0]), row);
    QCOMPARE(listIndex(form->List1[1]), row);
    // The lists share one selection, changed once: no echo back and forth.
    QCOMPARE(form->List1[1]->selectionModel(), form->List1[0]->selectionModel());
    QCOMPARE(changes.count(), 1);
}

void tst_MainForm::selectionByKeyboardSelectsBothLists()
{
    pressPoints({{5, 5}, {5, 15}, {5, 25}});
    form->activateWindow();
    form->List1[1]->setFocus();
    QTest::keyClick(form->List1[1], Qt::Key_End);
    QCOMPARE(listIndex(form->List1[1]), 2);
    QCOMPARE(listIndex(form->List1[0]), 2);
    QTest::keyClick(form->List1[1], Qt::Key_Up);
    QCOMPARE(listIndex(form->List1[0]), 1);
    form->List1[0]->setFocus();
    QTest::keyClick(form->List1[0], Qt::Key_Home);
    QCOMPARE(listIndex(form->List1[0]), 0);
    QCOMPARE(listIndex(form->List1[1]), 0);
}

void tst_MainForm::clickBelowTheLastEntrySelectsNothing_data()
{
    QTest::addColumn<int>("clicked");
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::newRow("X list") << 0 << Qt::LeftButton;
    QTest::newRow("Y list") << 1 << Qt::LeftButton;
    QTest::newRow("Y list, right button") << 1 << Qt::RightButton;
}

// Then "Без точка" removes nothing.
void tst_MainForm::clickBelowTheLastEntrySelectsNothing()
{
    QFETCH(int, clicked);
    QFETCH(Qt::MouseButton, button);
    pressPoints({{5, 5}, {5, 15}});
    select(0, 1);
    PointListView &list = *form->List1[size_t(clicked)];
    const QPoint below(list.viewport()->width() / 2, list.viewport()->height() - 2);
    QVERIFY(!list.indexAt(below).isValid());
    QTest::mouseClick(list.viewport(), button, Qt::NoModifier, below);
    QCOMPARE(listIndex(form->List1[0]), -1);
    QCOMPARE(listIndex(form->List1[1]), -1);
    click(1);
    QCOMPARE(listCount(form->List1[0]), 2);
}

void tst_MainForm::removingTheMiddlePoint()
{
    const QList<QPoint> pixels{{5, 5}, {290, 5}, {5, 290}, {290, 290}, {150, 5}};
    pressPoints(pixels);
    const QStringList xs = texts(*form->List1[0]);
    const QStringList ys = texts(*form->List1[1]);
    const bool judgeBefore = judgeEnabled();
    select(1, 2);
    QCOMPARE(listIndex(form->List1[0]), 2);

    click(1);

    QStringList expectedXs = xs;
    QStringList expectedYs = ys;
    expectedXs.removeAt(2);
    expectedYs.removeAt(2);
    QCOMPARE(texts(*form->List1[0]), expectedXs);
    QCOMPARE(texts(*form->List1[1]), expectedYs);
    QCOMPARE(listIndex(form->List1[0]), -1);
    QCOMPARE(listIndex(form->List1[1]), -1);
    QCOMPARE(currentRow(form->List1[0]), -1);
    QCOMPARE(judgeEnabled(), judgeBefore);

    const CanvasWidget &canvas = *form->Picture1;
    for (int i = 0; i < expectedXs.size(); ++i) {
        QVERIFY(isBlack(pixelAt(canvas, expectedXs[i].toDouble(), expectedYs[i].toDouble())));
    }
    QVERIFY(!isBlack(pixelAt(canvas, xs[2].toDouble(), ys[2].toDouble())));
    // Black only at the four remaining dots.
    QList<QPointF> dots;
    for (int i = 0; i < expectedXs.size(); ++i) {
        dots << canvas.toPixels(expectedXs[i].toDouble(), expectedYs[i].toDouble());
    }
    QCOMPARE(blackPixelsAwayFrom(dots), 0);
    QCOMPARE(pixelAt(canvas, 475, 250), SecondValleyColor);
}

void tst_MainForm::removingWithNothingSelectedChangesNothing()
{
    // Erasing the board while the lists keep every point would show a false board.
    pressPoints({{5, 5}, {290, 5}, {5, 290}});
    const QImage before = form->Picture1->image().copy();
    const QStringList xs = texts(*form->List1[0]);
    const QStringList ys = texts(*form->List1[1]);
    click(1);
    QCOMPARE(form->Picture1->image(), before);
    QCOMPARE(texts(*form->List1[0]), xs);
    QCOMPARE(texts(*form->List1[1]), ys);

    // The same after a removal, which leaves nothing selected.
    select(0, 0);
    click(1);
    const QImage afterRemoval = form->Picture1->image().copy();
    click(1);
    QCOMPARE(form->Picture1->image(), afterRemoval);
    QCOMPARE(listCount(form->List1[0]), 2);
}

void tst_MainForm::pressOnIllustrationAddsNothing()
{
    // A real press, found by position: Qt delivers it to the illustration lying
    // over the canvas, which must not hand it on to the canvas.
    const QPoint onIllustration = form->Picture2->mapTo(form.get(), QPoint(100, 100));
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, onIllustration);
    QCOMPARE(listCount(form->List1[0]), 0);
    QCOMPARE(listCount(form->List1[1]), 0);
    QVERIFY(form->Picture2->isVisible());
    QCOMPARE(blackPixels(), 0);

    // Beside it, the press is a point and the illustration goes.
    const QPoint beside = form->Picture1->mapTo(form.get(), form->Picture1->contentsRect().topLeft() + QPoint(5, 5));
    QTest::mouseClick(form->windowHandle(), Qt::LeftButton, Qt::NoModifier, beside);
    QCOMPARE(listCount(form->List1[0]), 1);
    QVERIFY(!form->Picture2->isVisible());
}

void tst_MainForm::clearAllAfterPresses()
{
    pressPoints({{5, 5}, {290, 5}, {5, 290}});
    QVERIFY(!judgeEnabled());
    click(2);
    QCOMPARE(listCount(form->List1[0]), 0);
    QCOMPARE(listCount(form->List1[1]), 0);
    QVERIFY(judgeEnabled());
    QVERIFY(!form->Picture2->isVisible()); // stays hidden
    QCOMPARE(blackPixels(), 0);
    QCOMPARE(pixelAt(*form->Picture1, 475, 250), SecondValleyColor);
    QVERIFY(isWhite(pixelAt(*form->Picture1, 250, 250)));
}

void tst_MainForm::ropesAreDrawnInTheirVerdictsPatterns()
{
    // Rows of pixels: 89 is 150.3 units (100 from the centre), 148 is 250 (through
    // the centre), 35 is 59.1 (191 away); columns 6 and 290 lie outside the valley.
    pressPoints({{6, 89}, {290, 89},      // solid
                 {6, 148}, {290, 148},    // dot
                 {6, 35}, {290, 35},      // dash
                 {178, 160}, {178, 240}}); // both ends in the valley: dash-dot-dot
    const QStringList xsBefore = texts(*form->List1[0]);
    click(0);
    QCOMPARE(texts(*form->List1[0]), xsBefore);
    QVERIFY(!judgeEnabled());

    const QImage &image = form->Picture1->image();
    const int ratio = int(image.devicePixelRatio());
    const int from = 6 * ratio;
    const int to = 291 * ratio;
    auto rowRuns = [&](int pixelRow) {
        const int row = testsupport::blackestRow(image, pixelRow * ratio, from, to);
        return innerRuns(image, row, from, to);
    };
    const RunLengths solid = rowRuns(89);
    QVERIFY(solid.light.empty());
    const RunLengths dot = rowRuns(148);
    QCOMPARE(dot.dark, std::set<int>({2 * ratio}));
    QCOMPARE(dot.light, std::set<int>({4 * ratio}));
    const RunLengths dash = rowRuns(35);
    QCOMPARE(dash.dark, std::set<int>({12 * ratio}));
    QCOMPARE(dash.light, std::set<int>({6 * ratio}));

    // The vertical rope, read down its column.
    const QImage turned = image.transformed(QTransform(0, 1, 1, 0, 0, 0)); // x and y swapped
    const int c = testsupport::blackestRow(turned, 178 * ratio, 160 * ratio, 241 * ratio);
    const RunLengths dashDotDot = innerRuns(turned, c, 160 * ratio, 241 * ratio);
    QCOMPARE(dashDotDot.dark, std::set<int>({2 * ratio, 12 * ratio}));
    QCOMPARE(dashDotDot.light, std::set<int>({4 * ratio}));

    // The reach and fire circles, in the next two colours of the sequence.
    const CanvasWidget &canvas = *form->Picture1;
    QCOMPARE(pixelAt(canvas, 250, 400), ReachColor);
    QCOMPARE(pixelAt(canvas, 250, 325), FireColor);
}

void tst_MainForm::judgingWithTooFewPointsDrawsNothing_data()
{
    QTest::addColumn<int>("points");
    QTest::newRow("none, right after start-up") << 0;
    QTest::newRow("one left after a removal") << 1;
}

void tst_MainForm::judgingWithTooFewPointsDrawsNothing()
{
    QFETCH(int, points);
    if (points == 1) {
        pressPoints({{5, 5}, {290, 5}});
        select(0, 1);
        click(1);
    }
    QCOMPARE(listCount(form->List1[0]), points);
    QVERIFY(judgeEnabled());
    const QImage before = form->Picture1->image().copy();
    click(0);
    QCOMPARE(form->Picture1->image(), before);
    QVERIFY(!judgeEnabled());
}

void tst_MainForm::oddPointIsNotJudged()
{
    // Four points, then the last removed: the judge button stays enabled with three.
    pressPoints({{6, 89}, {290, 89}, {6, 35}, {290, 35}});
    select(0, 3);
    click(1);
    QVERIFY(judgeEnabled());
    click(0);
    const QImage &image = form->Picture1->image();
    const int ratio = int(image.devicePixelRatio());
    // The first rope is drawn; from the lonely third point no line leaves.
    const int solidRow = testsupport::blackestRow(image, 89 * ratio, 20 * ratio, 280 * ratio);
    QCOMPARE(testsupport::runsAlongRow(image, solidRow, 20 * ratio, 280 * ratio).size(), size_t(1));
    const int row = testsupport::blackestRow(image, 35 * ratio, 20 * ratio, 280 * ratio);
    QVERIFY(testsupport::runsAlongRow(image, row, 20 * ratio, 280 * ratio).empty());
    QCOMPARE(listCount(form->List1[0]), 3);
}

void tst_MainForm::drawingSurvivesHideAndShow()
{
    pressPoints({{5, 5}, {290, 290}});
    click(0);
    form->hide();
    form->show();
    QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    const QImage shown = form->Picture1->grab(form->Picture1->contentsRect()).toImage();
    QImage drawn = form->Picture1->image();
    // The illustration is hidden now, so the grab shows the image as drawn.
    QCOMPARE(shown.convertToFormat(QImage::Format_RGB32), drawn.convertToFormat(QImage::Format_RGB32));
}

void tst_MainForm::keyboardPlacementMatchesAPress_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<int>("key");
    QTest::newRow("centre, over the illustration") << QPoint(148, 148) << int(Qt::Key_Return);
    QTest::newRow("top left corner") << QPoint(0, 0) << int(Qt::Key_Enter);
    QTest::newRow("bottom right corner") << QPoint(295, 295) << int(Qt::Key_Space);
    QTest::newRow("near the bottom left") << QPoint(7, 290) << int(Qt::Key_Return);
}

// Tab from the story to the canvas, steer the cross to `pixel` and place a
// point: the lists and the drawing are those a press at that pixel gives.
void tst_MainForm::keyboardPlacementMatchesAPress()
{
    QFETCH(QPoint, pixel);
    QFETCH(int, key);
    form->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
    QTest::keyClick(form->Text1[0], Qt::Key_Tab);
    CanvasWidget *canvas = form->Picture1;
    QCOMPARE(QApplication::focusWidget(), canvas);
    QTest::keyClick(canvas, Qt::Key_Home);
    const QPoint way = pixel - QPoint(148, 148);
    for (const auto &[length, arrow] : {std::pair(way.x(), way.x() < 0 ? Qt::Key_Left : Qt::Key_Right),
                                        std::pair(way.y(), way.y() < 0 ? Qt::Key_Up : Qt::Key_Down)}) {
        for (int i = 0; i < std::abs(length) / 10; ++i) {
            QTest::keyClick(canvas, arrow, Qt::ShiftModifier);
        }
        for (int i = 0; i < std::abs(length) % 10; ++i) {
            QTest::keyClick(canvas, arrow);
        }
    }
    QTest::keyClick(canvas, Qt::Key(key), key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(!form->Picture2->isVisible());
    QVERIFY(!judgeEnabled());

    MainForm mouse;
    mouse.show();
    QVERIFY(QTest::qWaitForWindowExposed(&mouse));
    testsupport::pressOnDrawingArea(*mouse.Picture1, pixel);
    QCOMPARE(texts(*form->List1[0]), texts(*mouse.List1[0]));
    QCOMPARE(texts(*form->List1[1]), texts(*mouse.List1[1]));
    QCOMPARE(form->Picture1->image(), mouse.Picture1->image());
}

QTEST_MAIN(tst_MainForm)
#include "tst_mainform.moc"
