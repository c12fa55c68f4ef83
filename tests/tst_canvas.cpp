// The canvas as the player sees it: presses in canvas units, and what each
// drawing operation leaves in the backing image.

#include "surface/canvaswidget.h"
#include "testsupport.h"

#include <QPainter>
#include <QSignalSpy>
#include <QTest>

#include <functional>

using testsupport::isBlack;
using testsupport::isWhite;
using testsupport::pixelAt;

Q_DECLARE_METATYPE(game::DrawStyle)
using Drawing = std::function<void(CanvasWidget &)>;
Q_DECLARE_METATYPE(Drawing)

class tst_Canvas : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pressGivesCanvasUnits_data();
    void pressGivesCanvasUnits();
    void pressOnBorderIsNoPress_data();
    void pressOnBorderIsNoPress();
    void linePatterns_data();
    void linePatterns();
    void wideLinesAreSolid();
    void dotIsRoundAndBlack_data();
    void dotIsRoundAndBlack();
    void circleOutline();
    void clsErasesToBackColor();
    void drawingSurvivesHideAndShow();
    void earlierCopyKeepsItsPixels_data();
    void earlierCopyKeepsItsPixels();
    void screenMatchesFullRepaint_data();
    void screenMatchesFullRepaint();

private:
    static void prepare(CanvasWidget &canvas);
};

void tst_Canvas::prepare(CanvasWidget &canvas)
{
    canvas.SetAutoRedraw(true);
    canvas.SetScaleHeight(500);
    canvas.SetScaleWidth(500);
    canvas.SetBackColor(game::Rgb(255, 255, 255));
    canvas.Cls();
}

void tst_Canvas::pressGivesCanvasUnits_data()
{
    QTest::addColumn<QPoint>("pixel"); // in the drawing area
    QTest::addColumn<Qt::MouseButton>("button");
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::newRow("top-left pixel") << QPoint(0, 0) << Qt::LeftButton << 0.0f << 0.0f;
    QTest::newRow("last pixel") << QPoint(295, 295) << Qt::LeftButton << float(295 * 500.0 / 296)
                                << float(295 * 500.0 / 296);
    QTest::newRow("right button") << QPoint(100, 50) << Qt::RightButton << float(100 * 500.0 / 296)
                                  << float(50 * 500.0 / 296);
    QTest::newRow("middle button") << QPoint(148, 148) << Qt::MiddleButton << 250.0f << 250.0f;
}

void tst_Canvas::pressGivesCanvasUnits()
{
    QFETCH(QPoint, pixel);
    QFETCH(Qt::MouseButton, button);
    CanvasWidget canvas;
    prepare(canvas);
    QSignalSpy presses(&canvas, &CanvasWidget::MouseDown);
    testsupport::pressOnDrawingArea(canvas, pixel, button);
    QCOMPARE(presses.count(), 1);
    QCOMPARE(presses.at(0).at(0).value<Qt::MouseButton>(), button);
    QTEST(presses.at(0).at(2).toFloat(), "x");
    QTEST(presses.at(0).at(3).toFloat(), "y");
}

void tst_Canvas::pressOnBorderIsNoPress_data()
{
    QTest::addColumn<QPoint>("at"); // in the frame, border included
    QTest::newRow("outer corner") << QPoint(1, 1);
    QTest::newRow("left border") << QPoint(1, 150);
    QTest::newRow("right border") << QPoint(298, 150);
    QTest::newRow("bottom border") << QPoint(150, 299);
}

void tst_Canvas::pressOnBorderIsNoPress()
{
    QFETCH(QPoint, at);
    CanvasWidget canvas;
    prepare(canvas);
    QSignalSpy presses(&canvas, &CanvasWidget::MouseDown);
    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, at);
    QCOMPARE(presses.count(), 0);
}

void tst_Canvas::linePatterns_data()
{
    QTest::addColumn<game::DrawStyle>("style");
    QTest::addColumn<QList<int>>("period"); // dark, light, dark, ... in logical pixels
    QTest::newRow("solid") << game::DrawStyle::Solid << QList<int>{};
    QTest::newRow("dash") << game::DrawStyle::Dash << QList<int>{12, 6};
    QTest::newRow("dot") << game::DrawStyle::Dot << QList<int>{2, 4};
    QTest::newRow("dash-dot-dot") << game::DrawStyle::DashDotDot << QList<int>{12, 4, 2, 4, 2, 4};
}

void tst_Canvas::linePatterns()
{
    QFETCH(game::DrawStyle, style);
    QFETCH(QList<int>, period);
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(1);
    canvas.SetDrawStyle(style);
    canvas.Line(10, 150, 490, 150);

    const QImage &image = canvas.image();
    const double ratio = image.devicePixelRatio();
    const int from = int(canvas.toPixels(10, 150).x() * ratio);
    const int to = int(canvas.toPixels(490, 150).x() * ratio);
    const int row = testsupport::blackestRow(image, int(canvas.toPixels(10, 150).y() * ratio), 0, image.width());
    const std::vector<int> runs = testsupport::runsAlongRow(image, row, 0, image.width());
    QVERIFY(!runs.empty());
    if (period.isEmpty()) {
        QCOMPARE(runs.size(), size_t(1));
        QVERIFY2(std::abs(runs[0] - (to - from)) <= 2, qPrintable(QString::number(runs[0])));
        return;
    }
    // Every full period along the line repeats the pattern; the last run may be cut.
    QVERIFY(runs.size() > size_t(2 * period.size()));
    for (size_t i = 0; i + 1 < runs.size(); ++i) {
        QCOMPARE(runs[i], int(period[int(i % size_t(period.size()))] * ratio));
    }
}

void tst_Canvas::wideLinesAreSolid()
{
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(5);
    canvas.SetDrawStyle(game::DrawStyle::Dash);
    canvas.Line(10, 150, 490, 150);
    for (int x = 20; x < 480; x += 3) {
        QVERIFY2(isBlack(pixelAt(canvas, x, 150)), qPrintable(QString::number(x)));
    }
}

void tst_Canvas::dotIsRoundAndBlack_data()
{
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("pixels"); // black pixels at a device pixel ratio of 1
    QTest::newRow("pen width 5") << 5 << 21;
    QTest::newRow("pen width 1") << 1 << 1;
}

void tst_Canvas::dotIsRoundAndBlack()
{
    QFETCH(int, width);
    QFETCH(int, pixels);
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(width);
    canvas.PSet(250, 250);

    const QImage &image = canvas.image();
    const int ratio = int(image.devicePixelRatio());
    int black = 0;
    QRect bounds;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            if (isBlack(image.pixelColor(x, y))) {
                ++black;
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    if (ratio == 1) {
        QCOMPARE(black, pixels);
    }
    QCOMPARE(bounds.width(), width * ratio);
    QCOMPARE(bounds.height(), width * ratio);
    QVERIFY(bounds.contains((canvas.toPixels(250, 250) * ratio).toPoint()));
    // Round: the corners of the bounding square stay white.
    if (width > 1) {
        QVERIFY(!isBlack(image.pixelColor(bounds.topLeft())));
        QVERIFY(!isBlack(image.pixelColor(bounds.bottomRight())));
    }
}

void tst_Canvas::circleOutline()
{
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(5);
    const game::Color red = game::Rgb(180, 136, 148);
    canvas.Circle(250, 250, 225, red);
    const QColor expected(180, 136, 148);
    QCOMPARE(pixelAt(canvas, 475, 250), expected);
    QCOMPARE(pixelAt(canvas, 25, 250), expected);
    QCOMPARE(pixelAt(canvas, 250, 25), expected);
    QCOMPARE(pixelAt(canvas, 250, 475), expected);
    QVERIFY(isWhite(pixelAt(canvas, 250, 250)));
    QVERIFY(isWhite(pixelAt(canvas, 460, 250)));
    QVERIFY(isWhite(pixelAt(canvas, 490, 250)));
}

void tst_Canvas::clsErasesToBackColor()
{
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(5);
    canvas.PSet(100, 100);
    canvas.SetBackColor(game::Rgb(10, 20, 30));
    canvas.Cls();
    QCOMPARE(pixelAt(canvas, 100, 100), QColor(10, 20, 30));
    QCOMPARE(pixelAt(canvas, 499, 0), QColor(10, 20, 30));
}

void tst_Canvas::drawingSurvivesHideAndShow()
{
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(5);
    canvas.PSet(250, 250);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    canvas.hide();
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    const QImage shown = canvas.grab().toImage();
    const QPoint centre = (canvas.contentsRect().topLeft() + canvas.toPixels(250, 250)).toPoint()
        * shown.devicePixelRatio();
    QVERIFY(isBlack(shown.pixelColor(centre)));
    QVERIFY(isWhite(shown.pixelColor(centre + QPoint(20, 20))));
}

void tst_Canvas::screenMatchesFullRepaint_data()
{
    QTest::addColumn<Drawing>("draw");
    QTest::newRow("a few dots, one at each edge") << Drawing([](CanvasWidget &canvas) {
        canvas.SetDrawWidth(5);
        for (const auto &[x, y] : {std::pair(0.0, 250.0), std::pair(499.0, 250.0),
                                   std::pair(250.0, 0.0), std::pair(250.0, 499.0),
                                   std::pair(1.0, 1.0), std::pair(250.0, 250.0)}) {
            canvas.PSet(x, y);
        }
    });
    QTest::newRow("more dots than are repainted one by one") << Drawing([](CanvasWidget &canvas) {
        canvas.SetDrawWidth(5);
        for (int i = 0; i < 60; ++i) {
            canvas.PSet(i * 499.0 / 59, (i * 37) % 500);
        }
    });
    QTest::newRow("valley, dots and ropes") << Drawing([](CanvasWidget &canvas) {
        canvas.SetDrawWidth(5);
        canvas.Circle(250, 250, 225, game::Rgb(180, 136, 148));
        canvas.PSet(3, 3);
        canvas.PSet(497, 497);
        canvas.SetDrawWidth(1);
        canvas.SetDrawStyle(game::DrawStyle::Dash);
        canvas.Line(0, 0, 499, 499);
        canvas.Line(0, 499, 499, 0);
    });
    QTest::newRow("cleared after drawing") << Drawing([](CanvasWidget &canvas) {
        canvas.SetDrawWidth(5);
        canvas.PSet(10, 10);
        canvas.Line(0, 250, 499, 250);
        canvas.SetBackColor(game::Rgb(10, 20, 30));
        canvas.Cls();
    });
}

void tst_Canvas::earlierCopyKeepsItsPixels_data()
{
    QTest::addColumn<Drawing>("between"); // drawn after the copy, before the next dot
    QTest::newRow("nothing") << Drawing([](CanvasWidget &) {});
    QTest::newRow("another dot") << Drawing([](CanvasWidget &canvas) { canvas.PSet(400, 400); });
    QTest::newRow("a circle") << Drawing([](CanvasWidget &canvas) {
        canvas.Circle(250, 250, 100, game::Rgb(0, 0, 255));
    });
    QTest::newRow("a rope") << Drawing([](CanvasWidget &canvas) { canvas.Line(0, 0, 499, 0); });
    QTest::newRow("clearing") << Drawing([](CanvasWidget &canvas) { canvas.Cls(); });
}

// A picture taken of the canvas (a screenshot, a saved image) stays as it was
// when later dots are drawn.
void tst_Canvas::earlierCopyKeepsItsPixels()
{
    QFETCH(Drawing, between);
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetDrawWidth(5);
    canvas.PSet(100, 100);
    const QImage copy = canvas.image();
    const QImage expected = copy.copy();
    canvas.SetDrawWidth(5);
    between(canvas);
    canvas.SetDrawWidth(5);
    canvas.PSet(250, 250);
    canvas.PSet(1, 1);
    QCOMPARE(copy, expected);
    QVERIFY(isBlack(pixelAt(canvas, 250, 250)));
}

namespace {

// Keeps the region of every paint event the canvas receives.
class PaintRecorder : public QObject
{
public:
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && !replaying) {
            regions.append(static_cast<QPaintEvent *>(event)->region());
        }
        return false;
    }

    QList<QRegion> regions;
    bool replaying = false;
};

// The pixels of `image` outside `inner` (logical pixels), the rest blanked.
QImage border(QImage image, const QRect &inner)
{
    QPainter painter(&image);
    painter.fillRect(inner, Qt::magenta);
    painter.end();
    return image.convertToFormat(QImage::Format_RGB32);
}

} // namespace

// The screen keeps what was painted before and takes only the parts the canvas
// asks to repaint: after drawing, those parts must add up to the picture a full
// repaint gives, frame included, at any density.
void tst_Canvas::screenMatchesFullRepaint()
{
    QFETCH(Drawing, draw);
    CanvasWidget canvas;
    prepare(canvas);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    QCoreApplication::processEvents();
    QImage screen = canvas.grab().toImage();

    PaintRecorder recorder;
    canvas.installEventFilter(&recorder);
    draw(canvas);
    QCoreApplication::processEvents();
    QVERIFY(!recorder.regions.isEmpty());
    recorder.replaying = true;
    for (const QRegion &region : std::as_const(recorder.regions)) {
        // render() puts the region's top left corner at the offset given.
        canvas.render(&screen, region.boundingRect().topLeft(), region, QWidget::RenderFlags());
    }
    const QImage repainted = canvas.grab().toImage();
    QCOMPARE(screen.convertToFormat(QImage::Format_RGB32),
             repainted.convertToFormat(QImage::Format_RGB32));

    // The frame is the toolkit's own sunken panel.
    QFrame plain;
    plain.setFrameStyle(canvas.frameStyle());
    plain.resize(canvas.size());
    QCOMPARE(border(repainted, canvas.contentsRect()),
             border(plain.grab().toImage(), canvas.contentsRect()));
}

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
