// The canvas as the player sees it: presses in canvas units, and what each
// drawing operation leaves in the backing image.

#include "surface/canvaswidget.h"
#include "testsupport.h"

#include <QLineEdit>
#include <QPainter>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>
#include <QVBoxLayout>

#include <functional>

using testsupport::isBlack;
using testsupport::isWhite;
using testsupport::pixelAt;
using namespace Qt::StringLiterals;

Q_DECLARE_METATYPE(game::DrawStyle)
using Drawing = std::function<void(CanvasWidget &)>;
Q_DECLARE_METATYPE(Drawing)
using Steps = std::function<void(CanvasWidget &, QWidget &other)>;
Q_DECLARE_METATYPE(Steps)

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
    void keyboardPlacesWhereAPressWould_data();
    void keyboardPlacesWhereAPressWould();
    void keyboardCursorLiesOverTheDrawing_data();
    void keyboardCursorLiesOverTheDrawing();
    void keyboardCursorHides_data();
    void keyboardCursorHides();
    void ropeTooltips_data();
    void ropeTooltips();

private:
    static void prepare(CanvasWidget &canvas);
};

void tst_Canvas::prepare(CanvasWidget &canvas)
{
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

namespace {

// Types keys on the canvas: l r u d move one pixel, L R U D (with Shift) ten,
// h is Home.
void typeKeys(CanvasWidget &canvas, const QString &keys)
{
    for (const QChar key : keys) {
        const Qt::Key arrow = "lL"_L1.contains(key)   ? Qt::Key_Left
                              : "rR"_L1.contains(key) ? Qt::Key_Right
                              : "uU"_L1.contains(key) ? Qt::Key_Up
                              : "dD"_L1.contains(key) ? Qt::Key_Down
                                                       : Qt::Key_Home;
        QTest::keyClick(&canvas, arrow, key.isUpper() ? Qt::ShiftModifier : Qt::NoModifier);
    }
}

} // namespace

void tst_Canvas::keyboardPlacesWhereAPressWould_data()
{
    QTest::addColumn<QString>("keys");
    QTest::addColumn<int>("place"); // the key that places the point
    QTest::addColumn<QPoint>("pixel"); // where a press gives the same point
    QTest::newRow("first arrow shows it at the centre") << "r" << int(Qt::Key_Return) << QPoint(148, 148);
    QTest::newRow("one pixel a key") << "rrdd" << int(Qt::Key_Enter) << QPoint(149, 150);
    QTest::newRow("ten with Shift") << "lLLu" << int(Qt::Key_Space) << QPoint(128, 147);
    QTest::newRow("stops at the top left") << "u" + QString(16, 'L') + QString(16, 'U') << int(Qt::Key_Return)
                                           << QPoint(0, 0);
    QTest::newRow("stops at the bottom right") << "d" + QString(16, 'R') + QString(16, 'D')
                                               << int(Qt::Key_Space) << QPoint(295, 295);
    QTest::newRow("Home brings it back") << "rRRDDlh" << int(Qt::Key_Return) << QPoint(148, 148);
    QTest::newRow("placing shows it first") << "" << int(Qt::Key_Return) << QPoint(148, 148);
}

void tst_Canvas::keyboardPlacesWhereAPressWould()
{
    QFETCH(QString, keys);
    QFETCH(int, place);
    QFETCH(QPoint, pixel);
    CanvasWidget mouse;
    prepare(mouse);
    QSignalSpy presses(&mouse, &CanvasWidget::MouseDown);
    testsupport::pressOnDrawingArea(mouse, pixel);

    CanvasWidget canvas;
    prepare(canvas);
    QSignalSpy moves(&canvas, &CanvasWidget::KeyboardCursorMoved);
    QSignalSpy placed(&canvas, &CanvasWidget::MouseDown);
    typeKeys(canvas, keys);
    QCOMPARE(moves.count(), keys.size());
    QTest::keyClick(&canvas, Qt::Key(place), place == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier);
    QVERIFY(canvas.keyboardCursorShown());
    QCOMPARE(placed.count(), 1);
    QCOMPARE(placed.at(0).at(0).value<Qt::MouseButton>(), Qt::LeftButton);
    // Exactly the press's units, so the lists show the same texts.
    const float x = presses.at(0).at(2).toFloat();
    const float y = presses.at(0).at(3).toFloat();
    QVERIFY2(placed.at(0).at(2).toFloat() == x && placed.at(0).at(3).toFloat() == y,
             qPrintable(QString::asprintf("%.9g %.9g", placed.at(0).at(2).toFloat(), placed.at(0).at(3).toFloat())));
    QVERIFY(moves.last().at(0).toFloat() == x && moves.last().at(1).toFloat() == y);
}

void tst_Canvas::keyboardCursorLiesOverTheDrawing_data()
{
    QTest::addColumn<QColor>("backdrop");
    QTest::newRow("on white") << QColor(255, 255, 255);
    QTest::newRow("on a valley's colour") << QColor(180, 136, 148);
    QTest::newRow("on black") << QColor(0, 0, 0);
}

// The cross shows on any backdrop, and the drawing under it stays as it was.
void tst_Canvas::keyboardCursorLiesOverTheDrawing()
{
    QFETCH(QColor, backdrop);
    CanvasWidget canvas;
    prepare(canvas);
    canvas.SetBackColor(game::Rgb(backdrop.red(), backdrop.green(), backdrop.blue()));
    canvas.Cls();
    canvas.SetDrawWidth(5);
    canvas.PSet(250, 250);
    canvas.SetDrawWidth(1);
    canvas.Line(0, 270, 499, 270);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    const QImage drawn = canvas.image().copy();
    const QImage screen = canvas.grab().toImage();

    typeKeys(canvas, "rRd"); // to (158, 149): the arm below lies over the line
    const QImage crossed = canvas.grab().toImage();
    const QPoint at = canvas.contentsRect().topLeft() + QPoint(158, 149);
    for (const QPoint &arm : {QPoint(6, 0), QPoint(-6, 0), QPoint(0, 6), QPoint(0, -6)}) {
        const QPoint beside = arm.x() == 0 ? QPoint(1, 0) : QPoint(0, 1);
        QVERIFY(isBlack(crossed.pixelColor((at + arm) * crossed.devicePixelRatio())));
        QVERIFY(isWhite(crossed.pixelColor((at + arm + beside) * crossed.devicePixelRatio())));
    }
    QCOMPARE(canvas.image(), drawn);
    canvas.hide();
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    QCOMPARE(canvas.image(), drawn);
    canvas.Cls();
    QVERIFY(canvas.keyboardCursorShown());
    QCOMPARE(pixelAt(canvas, 250, 250), backdrop);

    QTest::mousePress(&canvas, Qt::LeftButton, Qt::NoModifier, QPoint(1, 1)); // on the frame
    canvas.SetDrawWidth(5);
    canvas.PSet(250, 250);
    canvas.SetDrawWidth(1);
    canvas.Line(0, 270, 499, 270);
    QCOMPARE(canvas.image(), drawn);
    QCOMPARE(canvas.grab().toImage(), screen);
}

void tst_Canvas::keyboardCursorHides_data()
{
    QTest::addColumn<Steps>("steps");
    QTest::addColumn<QPoint>("next"); // where the next arrow shows it again
    QTest::newRow("a mouse press") << Steps([](CanvasWidget &canvas, QWidget &) {
        typeKeys(canvas, "rRR");
        testsupport::pressOnDrawingArea(canvas, {5, 5});
        QVERIFY(canvas.hasFocus());
    }) << QPoint(168, 148);
    QTest::newRow("leaving the canvas") << Steps([](CanvasWidget &canvas, QWidget &other) {
        typeKeys(canvas, "dD");
        other.setFocus(Qt::TabFocusReason);
    }) << QPoint(148, 158);
    QTest::newRow("a mouse press bringing the focus") << Steps([](CanvasWidget &canvas, QWidget &other) {
        other.setFocus(Qt::TabFocusReason);
        testsupport::pressOnDrawingArea(canvas, {5, 5});
        QVERIFY(canvas.hasFocus());
    }) << QPoint(148, 148);
}

void tst_Canvas::keyboardCursorHides()
{
    QFETCH(Steps, steps);
    QFETCH(QPoint, next);
    QWidget window;
    auto *canvas = new CanvasWidget(&window);
    canvas->setFocusPolicy(Qt::StrongFocus);
    auto *other = new QLineEdit(&window);
    other->move(0, 310);
    prepare(*canvas);
    window.show();
    window.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    canvas->setFocus(Qt::TabFocusReason);
    const QImage screen = canvas->grab().toImage();

    steps(*canvas, *other);
    QVERIFY(!canvas->keyboardCursorShown());
    QCOMPARE(canvas->grab().toImage(), screen);
    canvas->setFocus(Qt::TabFocusReason);
    QVERIFY(!canvas->keyboardCursorShown());
    QTest::keyClick(canvas, Qt::Key_Right);
    QVERIFY(canvas->keyboardCursorShown());
    QCOMPARE(canvas->keyboardCursorUnits(), canvas->toUnits(next));
}

void tst_Canvas::ropeTooltips_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<bool>("erased");
    QTest::addColumn<QString>("tooltip");
    // Rope 1 runs from pixel (29.6, 29.6) to (266.4, 266.4), rope 2 across it.
    const QString first = "Въже 1: успех";
    const QString second = "Въже 2: твърде далеч от дракона";
    QTest::newRow("on rope 1") << QPoint(59, 59) << false << first;
    QTest::newRow("3 pixels beside rope 2") << QPoint(100, 192) << false << second;
    QTest::newRow("4 pixels beside rope 2") << QPoint(100, 190) << false << QString();
    QTest::newRow("where they cross") << QPoint(148, 148) << false << first + "\n" + second;
    QTest::newRow("between them") << QPoint(148, 100) << false << QString();
    QTest::newRow("beyond a rope's end") << QPoint(22, 22) << false << QString();
    QTest::newRow("after a removal") << QPoint(59, 59) << true << QString();
}

void tst_Canvas::ropeTooltips()
{
    QFETCH(QPoint, pixel);
    QFETCH(bool, erased);
    CanvasWidget canvas;
    prepare(canvas);
    canvas.show();
    QVERIFY(QTest::qWaitForWindowExposed(&canvas));
    canvas.ShowVerdicts({{{50, 50}, {450, 450}, game::DrawStyle::Solid},
                         {{50, 450}, {450, 50}, game::DrawStyle::Dash}});
    if (erased) {
        canvas.ShowVerdicts({});
    }
    QToolTip::hideText();
    QTRY_VERIFY(!QToolTip::isVisible());
    const QPoint at = canvas.contentsRect().topLeft() + pixel;
    QHelpEvent hover(QEvent::ToolTip, at, canvas.mapToGlobal(at));
    QCoreApplication::sendEvent(&canvas, &hover);
    QFETCH(QString, tooltip);
    QCOMPARE(QToolTip::isVisible(), !tooltip.isEmpty());
    if (!tooltip.isEmpty()) {
        QCOMPARE(QToolTip::text(), tooltip);
    }
}

QTEST_MAIN(tst_Canvas)
#include "tst_canvas.moc"
