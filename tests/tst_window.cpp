// The window as the user meets it: its size and frame, where every control
// lies, what Tab visits, the fixed texts, the colours as painted, the
// illustration, the icon and the one font.

#include "app/mainform.h"
#include "app/placement.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"
#include "surface/pointmodel.h"
#include "testsupport.h"

#include <QApplication>
#include <QClipboard>
#include <QFontDatabase>
#include <QImageReader>
#include <QLabel>
#include <QPlainTextEdit>
#include <QRawFont>
#include <QRegularExpression>
#include <QScreen>
#include <QScrollBar>
#include <QSet>
#include <QTest>
#include <QWindow>

#include <map>
#include <memory>

using testsupport::currentRow;
using testsupport::listCount;
using testsupport::listIndex;
using testsupport::listText;
using testsupport::rowRect;
using testsupport::setListIndex;

namespace {

#ifdef Q_OS_WIN
// The frame Windows gives the window, from its native style. Defined at the end
// of this file: <windows.h> brings macros that clash with names used here.
struct NativeFrame
{
    bool caption;
    bool systemMenu;
    bool minimiseBox;
    bool maximiseBox;
    bool sizingBorder;
};
NativeFrame nativeFrame(QWidget &window);
#endif

const QColor WindowBlue(128, 128, 255);
const QColor LabelOrange(255, 192, 128);

const char *const ControlNames[] = {"Text1(0)", "Text1(1)", "Label1(0)", "Label1(1)",
                                    "Label1(2)", "Picture1", "List1(0)", "List1(1)",
                                    "Command1(0)", "Command1(1)", "Command1(2)", "Picture2"};

// The controls by the names a reader finds them under in the window's code.
QWidget *control(MainForm &form, const QString &name)
{
    const std::map<QString, QWidget *> controls = {
        {"Text1(0)", form.Text1[0]},       {"Text1(1)", form.Text1[1]},
        {"Label1(0)", form.Label1[0]},     {"Label1(1)", form.Label1[1]},
        {"Label1(2)", form.Label1[2]},     {"Picture1", form.Picture1},
        {"List1(0)", form.List1[0]},       {"List1(1)", form.List1[1]},
        {"Command1(0)", form.Command1[0]}, {"Command1(1)", form.Command1[1]},
        {"Command1(2)", form.Command1[2]}, {"Picture2", form.Picture2},
    };
    const auto found = controls.find(name);
    return found == controls.end() ? nullptr : found->second;
}

QString nameOf(MainForm &form, const QWidget *widget)
{
    for (const char *name : ControlNames) {
        if (control(form, QString::fromLatin1(name)) == widget) {
            return QString::fromLatin1(name);
        }
    }
    return widget ? QString::fromLatin1(widget->metaObject()->className()) : QStringLiteral("none");
}

// The window shown, active, with the keyboard focus where start-up leaves it.
std::unique_ptr<MainForm> shownForm()
{
    auto form = std::make_unique<MainForm>();
    form->show();
    form->activateWindow();
    if (!QTest::qWaitForWindowActive(form.get())) {
        return nullptr;
    }
    return form;
}

// The colour that covers most of `rect` in `image`.
QColor dominantColour(const QImage &image, const QRect &rect)
{
    std::map<QRgb, int> counts;
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            ++counts[image.pixel(x, y)];
        }
    }
    QRgb best = 0;
    int bestCount = -1;
    for (const auto &[rgb, count] : counts) {
        if (count > bestCount) {
            best = rgb;
            bestCount = count;
        }
    }
    return QColor(best);
}

// The smallest rectangle inside `area` that holds every pixel darker than
// half-tone: where the caption was drawn on a light face.
QRect inkBounds(const QImage &image, const QRect &area)
{
    QRect bounds;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (qGray(image.pixel(x, y)) < 96) {
                bounds |= QRect(x, y, 1, 1);
            }
        }
    }
    return bounds;
}

QImage grabbed(QWidget *widget)
{
    QImage image = widget->grab().toImage();
    image.setDevicePixelRatio(1.0);
    // One image pixel per logical pixel; at a density above 1 each is sampled
    // from one device pixel.
    return image.scaled(widget->size(), Qt::IgnoreAspectRatio, Qt::FastTransformation)
        .convertToFormat(QImage::Format_RGB32);
}

bool sameColour(const QColor &a, const QColor &b, int tolerance = 0)
{
    return std::abs(a.red() - b.red()) <= tolerance && std::abs(a.green() - b.green()) <= tolerance
        && std::abs(a.blue() - b.blue()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("(%1, %2, %3)").arg(c.red()).arg(c.green()).arg(c.blue());
}

// The paragraphs of the story as the reader sees them.
QStringList storyParagraphs(MainForm &form)
{
    return form.Text1[0]->toPlainText().split(QLatin1Char('\n'));
}

} // namespace

class tst_Window : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void frame();
    void sizeForcedOnTheWindow();
    void centredOnScreen_data();
    void centredOnScreen();
    void caption();
    void fixedTexts_data();
    void fixedTexts();
    void title();
    void controls_data();
    void controls();
    void tabChain_data();
    void tabChain();
    void focusAtStart();
    void storyContent();
    void storyLayout();
    void storyIgnoresTyping_data();
    void storyIgnoresTyping();
    void storyCopies();
    void quotation();
    void colours_data();
    void colours();
    void captionsCentred_data();
    void captionsCentred();
    void platformLooks_data();
    void platformLooks();
    void focusMarkOnButtons_data();
    void focusMarkOnButtons();
    void disabledJudgeKeepsItsFace();
    void canvasLooks();
    void illustration();
    void pressOnIllustration();
    void icon();
    void font_data();
    void font();
    void fontShowsCyrillic();
};

void tst_Window::frame()
{
    MainForm form;
    QCOMPARE(form.size(), QSize(453, 469));
    // Fixed single border: the window cannot be resized.
    QCOMPARE(form.minimumSize(), QSize(453, 469));
    QCOMPARE(form.maximumSize(), QSize(453, 469));

    const Qt::WindowFlags flags = form.windowFlags();
    QVERIFY(form.isWindow());
    QVERIFY(flags.testFlag(Qt::WindowTitleHint));
    QVERIFY(flags.testFlag(Qt::WindowSystemMenuHint));
    QVERIFY(flags.testFlag(Qt::WindowCloseButtonHint));
    // CustomizeWindowHint makes the window manager offer only the hints given.
    QVERIFY(flags.testFlag(Qt::CustomizeWindowHint));
    QVERIFY(!flags.testFlag(Qt::WindowMinimizeButtonHint));
    QVERIFY(!flags.testFlag(Qt::WindowMaximizeButtonHint));
    QCOMPARE(flags & Qt::WindowType_Mask, Qt::Window); // a plain window, not a dialog
#ifdef Q_OS_WIN
    // What Windows itself draws from those flags: a title bar with the icon's
    // menu and a close box, and neither a minimise nor a maximise box nor a
    // border that resizes.
    const NativeFrame native = nativeFrame(form);
    QVERIFY(native.caption);
    QVERIFY(native.systemMenu);
    QVERIFY(!native.minimiseBox);
    QVERIFY(!native.maximiseBox);
    QVERIFY(!native.sizingBorder);
#endif
}

// A window manager that grants a resize whatever the window's fixed size gets
// the size taken back, every time.
void tst_Window::sizeForcedOnTheWindow()
{
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const QSize forced : {QSize(700, 600), QSize(700, 600), QSize(300, 200)}) {
        form.windowHandle()->resize(forced);
        QCOMPARE(form.windowHandle()->size(), forced);
        QTRY_COMPARE(form.windowHandle()->size(), QSize(453, 469));
        QCOMPARE(form.size(), QSize(453, 469));
        QCOMPARE(form.Text1[0]->geometry(), QRect(8, 336, 433, 129));
    }
}

void tst_Window::centredOnScreen_data()
{
    QTest::addColumn<QSize>("size");
    QTest::newRow("the program's window") << QSize(453, 469);
    QTest::newRow("a window of odd size") << QSize(301, 99);
    // On a small screen the title bar, and with it the close box, stays on the
    // screen: the window keeps its top-left corner in the screen's corner.
    QTest::newRow("larger than the screen") << QSize(4000, 3000);
}

// Offscreen nothing frames the window, so its client area is what lies centred;
// the frames of real window managers are measured by
// scripts/check-window-managers.sh.
void tst_Window::centredOnScreen()
{
    QFETCH(QSize, size);
    QWidget window;
    window.setFixedSize(size);
    centreOnScreen(window);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QRect area = window.screen()->availableGeometry();
    const QRect placed = window.frameGeometry();
    const QString where = QStringLiteral("window at %1,%2 %3x%4, screen area %5,%6 %7x%8")
                              .arg(placed.x()).arg(placed.y()).arg(placed.width())
                              .arg(placed.height()).arg(area.x()).arg(area.y())
                              .arg(area.width()).arg(area.height());
    if (area.contains(placed)) {
        // As much room on the left as on the right, above as below, to a pixel.
        QVERIFY2(std::abs((placed.left() - area.left()) - (area.right() - placed.right())) <= 1,
                 qPrintable(where));
        QVERIFY2(std::abs((placed.top() - area.top()) - (area.bottom() - placed.bottom())) <= 1,
                 qPrintable(where));
    } else {
        QCOMPARE(placed.topLeft(), area.topLeft());
    }
}

void tst_Window::caption()
{
    MainForm form;
    const QString title = form.windowTitle();
    QCOMPARE(title, QStringLiteral("www.example.org Приказна геометрия за ученици"));
    // The maker's address, one blank, then the 29-character series name.
    const qsizetype blank = title.indexOf(QLatin1Char(' '));
    QVERIFY(blank > 0);
    QVERIFY(title.left(blank).endsWith(QLatin1String(".example.org")));
    QCOMPARE(title.mid(blank + 1).size(), 29);
}

void tst_Window::fixedTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("text");

    QTest::newRow("X heading") << "Label1(1)" << "X";
    QTest::newRow("Y heading") << "Label1(2)" << "Y";
    QTest::newRow("judge") << "Command1(0)" << "Рицар";
    QTest::newRow("remove point") << "Command1(1)" << "Без точка";
    QTest::newRow("clear all") << "Command1(2)" << "Чисти всичко";
}

void tst_Window::fixedTexts()
{
    QFETCH(QString, name);
    QFETCH(QString, text);

    MainForm form;
    QWidget *widget = control(form, name);
    if (auto *label = qobject_cast<QLabel *>(widget)) {
        QCOMPARE(label->text(), text);
    } else if (auto *button = qobject_cast<QAbstractButton *>(widget)) {
        QCOMPARE(button->text(), text);
        // No accelerator: the caption shows as written.
        QVERIFY(!button->text().contains(QLatin1Char('&')));
    } else {
        QFAIL("not a label or a button");
    }
}

void tst_Window::title()
{
    MainForm form;
    // A Bulgarian phrase of 36 characters, in words of Cyrillic letters.
    const QString title = form.Label1[0]->text();
    QCOMPARE(title.size(), 36);
    for (const QChar c : title) {
        QVERIFY2(c == QLatin1Char(' ') || c.script() == QChar::Script_Cyrillic, qPrintable(title));
    }
    QVERIFY(form.Label1[0]->alignment().testFlag(Qt::AlignHCenter));
}

void tst_Window::controls_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QRect>("geometry"); // in the parent, frame included
    QTest::addColumn<bool>("onCanvas");  // parent is the canvas, not the window
    QTest::addColumn<bool>("visible");

    QTest::newRow("story") << "Text1(0)" << QRect(8, 336, 433, 129) << false << true;
    // Reaches past the right and bottom edges, over the story; never shown.
    QTest::newRow("quotation") << "Text1(1)" << QRect(176, 416, 449, 121) << false << false;
    QTest::newRow("title") << "Label1(0)" << QRect(64, 0, 337, 25) << false << true;
    QTest::newRow("canvas") << "Picture1" << QRect(8, 32, 300, 300) << false << true;
    QTest::newRow("X list") << "List1(0)" << QRect(344, 32, 105, 80) << false << true;
    QTest::newRow("Y list") << "List1(1)" << QRect(344, 136, 105, 80) << false << true;
    QTest::newRow("judge button") << "Command1(0)" << QRect(328, 240, 105, 25) << false << true;
    QTest::newRow("remove button") << "Command1(1)" << QRect(328, 272, 105, 25) << false << true;
    QTest::newRow("X heading") << "Label1(1)" << QRect(312, 32, 33, 25) << false << true;
    QTest::newRow("Y heading") << "Label1(2)" << QRect(312, 136, 33, 25) << false << true;
    QTest::newRow("clear button") << "Command1(2)" << QRect(328, 304, 105, 25) << false << true;
    // Inner position 32,48 plus the canvas's 2-pixel border.
    QTest::newRow("illustration") << "Picture2" << QRect(34, 50, 237, 213) << true << true;
}

void tst_Window::controls()
{
    QFETCH(QString, name);
    QFETCH(QRect, geometry);
    QFETCH(bool, onCanvas);
    QFETCH(bool, visible);

    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *widget = control(form, name);
    QVERIFY(widget);
    QCOMPARE(widget->geometry(), geometry);
    QCOMPARE(widget->parentWidget(), onCanvas ? static_cast<QWidget *>(form.Picture1)
                                              : static_cast<QWidget *>(&form));
    QCOMPARE(widget->isVisible(), visible);
    QVERIFY(widget->isEnabled());
}

void tst_Window::tabChain_data()
{
    QTest::addColumn<bool>("judgeEnabled");
    QTest::addColumn<bool>("illustrationVisible");
    QTest::addColumn<QStringList>("visits"); // from the story, before coming back to it

    const QString story = "Text1(0)";
    QTest::newRow("at start")
        << true << true
        << QStringList{story, "Picture1", "List1(0)", "List1(1)", "Command1(0)", "Command1(1)",
                       "Command1(2)", "Picture2"};
    QTest::newRow("odd point count, judge disabled")
        << false << true
        << QStringList{story, "Picture1", "List1(0)", "List1(1)", "Command1(1)", "Command1(2)",
                       "Picture2"};
    QTest::newRow("illustration hidden")
        << true << false
        << QStringList{story, "Picture1", "List1(0)", "List1(1)", "Command1(0)", "Command1(1)",
                       "Command1(2)"};
    QTest::newRow("judge disabled, illustration hidden")
        << false << false
        << QStringList{story, "Picture1", "List1(0)", "List1(1)", "Command1(1)", "Command1(2)"};
}

void tst_Window::tabChain()
{
    QFETCH(bool, judgeEnabled);
    QFETCH(bool, illustrationVisible);
    QFETCH(QStringList, visits);

    const auto form = shownForm();
    QVERIFY(form);
    form->Command1[0]->setEnabled(judgeEnabled);
    form->Picture2->setVisible(illustrationVisible);
    form->Text1[0]->setFocus(Qt::OtherFocusReason);
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form->Text1[0]));

    // Tab goes round the whole chain and back to the story.
    QStringList forward{nameOf(*form, QApplication::focusWidget())};
    for (qsizetype i = 0; i < visits.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        forward << nameOf(*form, QApplication::focusWidget());
    }
    QCOMPARE(forward, visits + QStringList{visits.first()});

    // Shift+Tab goes the same way back.
    QStringList backward{nameOf(*form, QApplication::focusWidget())};
    for (qsizetype i = 0; i < visits.size(); ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab, Qt::ShiftModifier);
        backward.prepend(nameOf(*form, QApplication::focusWidget()));
    }
    QCOMPARE(backward, visits + QStringList{visits.first()});
}

void tst_Window::focusAtStart()
{
    const auto form = shownForm();
    QVERIFY(form);
    QCOMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form->Text1[0]));
}

void tst_Window::storyContent()
{
    MainForm form;
    const QStringList paragraphs = storyParagraphs(form);
    QCOMPARE(paragraphs.size(), 15);
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        // No blank line between paragraphs, and none left over at the end.
        QVERIFY2(!paragraphs[i].trimmed().isEmpty(), qPrintable(QString::number(i + 1)));
    }

    // Paragraphs 8 to 10 are the three rules, numbered; no other paragraph is.
    const QRegularExpression numbered(QStringLiteral("^\\d+\\. "));
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        const bool isRule = i >= 7 && i <= 9;
        QVERIFY2(paragraphs[i].contains(numbered) == isRule, qPrintable(paragraphs[i].left(40)));
    }
    QVERIFY(paragraphs[7].startsWith(QLatin1String("1. ")));
    QVERIFY(paragraphs[8].startsWith(QLatin1String("2. ")));
    QVERIFY(paragraphs[9].startsWith(QLatin1String("3. ")));

    // The first rule carries a clause in capitals: the dragon stays in the valley.
    const QRegularExpression capitals(QStringLiteral("[А-ЯЪЬЮЩ][А-ЯЪЬЮЩ ,]{19,}[А-ЯЪЬЮЩ]"));
    const QRegularExpressionMatch clause = capitals.match(paragraphs[7]);
    QVERIFY2(clause.hasMatch(), qPrintable(paragraphs[7]));
    QVERIFY(clause.captured().contains(QStringLiteral("ДРАКОН")));
    for (qsizetype i = 0; i < paragraphs.size(); ++i) {
        if (i != 7) {
            QVERIFY2(!paragraphs[i].contains(capitals), qPrintable(QString::number(i + 1)));
        }
    }

    // Landmarks that keep the paragraphs in their order: the scouts found Ox, Oy
    // and R; the points are chosen by clicks; the closing wish warns of the dragon.
    QVERIFY(paragraphs[10].contains(QLatin1String("Ox")));
    QVERIFY(paragraphs[10].contains(QLatin1String("Oy")));
    QVERIFY(paragraphs[11].contains(QLatin1String("On-Click")));
    QVERIFY(paragraphs[14].contains(QStringLiteral("дракон")));

    // All of it Cyrillic prose: more Cyrillic letters than any other.
    const QString text = form.Text1[0]->toPlainText();
    qsizetype cyrillic = 0;
    qsizetype latin = 0;
    for (const QChar c : text) {
        cyrillic += c.script() == QChar::Script_Cyrillic ? 1 : 0;
        latin += c.script() == QChar::Script_Latin ? 1 : 0;
    }
    QVERIFY(text.size() > 4000);
    QVERIFY(cyrillic > 20 * latin);
}

void tst_Window::storyLayout()
{
    const auto form = shownForm();
    QVERIFY(form);
    QPlainTextEdit *story = form->Text1[0];
    QVERIFY(story->isReadOnly());
    QCOMPARE(story->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    // Wrapped at the box's width: nothing to scroll sideways.
    QVERIFY(!story->horizontalScrollBar()->isVisible());
    QCOMPARE(story->horizontalScrollBar()->maximum(), 0);
    // The vertical scroll bar is always there, and at its end the text's last
    // line shows whole; Ctrl+End shows it whole too.
    QScrollBar *scrollBar = story->verticalScrollBar();
    QVERIFY(scrollBar->isVisible());
    QVERIFY(scrollBar->maximum() > 0);
    QTextCursor end(story->document());
    end.movePosition(QTextCursor::End);
    const auto showsWhole = [story](const QRect &line) {
        return line.top() >= 0 && line.bottom() < story->viewport()->height();
    };
    QVERIFY(!showsWhole(story->cursorRect(end)));
    scrollBar->setValue(scrollBar->maximum());
    QVERIFY2(showsWhole(story->cursorRect(end)),
             qPrintable(QStringLiteral("the last line lies at %1..%2 of a %3-pixel box")
                            .arg(story->cursorRect(end).top()).arg(story->cursorRect(end).bottom())
                            .arg(story->viewport()->height())));
    scrollBar->setValue(0);
    QTest::keyClick(story, Qt::Key_End, Qt::ControlModifier);
    QCOMPARE(story->textCursor().position(), end.position());
    QVERIFY(scrollBar->value() > 0);
    QVERIFY(showsWhole(story->cursorRect()));
    QTest::keyClick(story, Qt::Key_Home, Qt::ControlModifier);
    QCOMPARE(story->verticalScrollBar()->value(), 0);
    QTest::keyClick(story, Qt::Key_PageDown);
    QVERIFY(story->verticalScrollBar()->value() > 0);
}

void tst_Window::storyIgnoresTyping_data()
{
    QTest::addColumn<QKeyCombination>("key");
    QTest::addColumn<QString>("typed");

    QTest::newRow("letters") << QKeyCombination(Qt::Key_unknown) << QStringLiteral("абв xyz");
    QTest::newRow("Enter") << QKeyCombination(Qt::Key_Return) << QString();
    QTest::newRow("Backspace") << QKeyCombination(Qt::Key_Backspace) << QString();
    QTest::newRow("Delete") << QKeyCombination(Qt::Key_Delete) << QString();
    QTest::newRow("Ctrl+V") << QKeyCombination(Qt::ControlModifier, Qt::Key_V) << QString();
    QTest::newRow("Ctrl+X") << QKeyCombination(Qt::ControlModifier, Qt::Key_X) << QString();
    QTest::newRow("Ctrl+Z") << QKeyCombination(Qt::ControlModifier, Qt::Key_Z) << QString();
}

void tst_Window::storyIgnoresTyping()
{
    QFETCH(QKeyCombination, key);
    QFETCH(QString, typed);

    const auto form = shownForm();
    QVERIFY(form);
    QPlainTextEdit *story = form->Text1[0];
    const QString before = story->toPlainText();
    QApplication::clipboard()->setText(QStringLiteral("вмъкнат текст"));

    // Typing lands wherever the reader left the cursor, with or without a selection.
    QTest::keyClick(story, Qt::Key_PageDown);
    QTest::keyClick(story, Qt::Key_Right, Qt::ShiftModifier);
    if (typed.isEmpty()) {
        QTest::keyClick(story, key.key(), key.keyboardModifiers());
    } else {
        for (const QChar c : typed) {
            QTest::sendKeyEvent(QTest::Click, story, Qt::Key_unknown, QString(c), Qt::NoModifier);
        }
    }
    QCOMPARE(story->toPlainText(), before);
    QCOMPARE(story->document()->isUndoAvailable(), false);
}

void tst_Window::storyCopies()
{
    const auto form = shownForm();
    QVERIFY(form);
    QPlainTextEdit *story = form->Text1[0];
    QApplication::clipboard()->clear();

    QTest::keyClick(story, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(story, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), story->toPlainText());

    // A selection made with the keyboard copies just that.
    QTest::keyClick(story, Qt::Key_Home, Qt::ControlModifier);
    for (int i = 0; i < 3; ++i) {
        QTest::keyClick(story, Qt::Key_Right, Qt::ShiftModifier);
    }
    QTest::keyClick(story, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QApplication::clipboard()->text(), story->toPlainText().left(3));
}

void tst_Window::quotation()
{
    const auto form = shownForm();
    QVERIFY(form);
    QPlainTextEdit *quote = form->Text1[1];
    // Three lines, each ending with one blank.
    const QStringList lines = quote->toPlainText().split(QLatin1Char('\n'));
    QVERIFY(lines.size() >= 3);
    QCOMPARE(lines[0], QStringLiteral("Неприятното в това да си първият, направил нещо по "));
    QCOMPARE(lines[1], QStringLiteral("правилния начин, е, че никой не оценява колко трудно е "));
    QCOMPARE(lines[2], QStringLiteral("било. "));
    for (qsizetype i = 3; i < lines.size(); ++i) {
        QVERIFY(lines[i].isEmpty());
    }
    QVERIFY(quote->isReadOnly());
    QVERIFY(!quote->isVisible());

    // Nothing the user can do shows it.
    testsupport::pressOnDrawingArea(*form->Picture1, QPoint(5, 5));
    testsupport::pressOnDrawingArea(*form->Picture1, QPoint(290, 290));
    form->Command1[0]->click();
    form->Command1[2]->click();
    QVERIFY(!quote->isVisible());
}

void tst_Window::colours_data()
{
    QTest::addColumn<QString>("name"); // empty: the window itself
    QTest::addColumn<QRect>("area");   // in the control, away from its text and edge
    QTest::addColumn<QColor>("colour");

    QTest::newRow("window left of the title") << QString() << QRect(2, 2, 58, 24) << WindowBlue;
    QTest::newRow("window between the headings") << QString() << QRect(314, 64, 28, 66) << WindowBlue;
    QTest::newRow("window beside the buttons") << QString() << QRect(436, 230, 16, 100) << WindowBlue;
    QTest::newRow("title") << "Label1(0)" << QRect(0, 0, 337, 25) << LabelOrange;
    QTest::newRow("X heading") << "Label1(1)" << QRect(0, 0, 33, 25) << LabelOrange;
    QTest::newRow("Y heading") << "Label1(2)" << QRect(0, 0, 33, 25) << LabelOrange;
    QTest::newRow("Рицар green") << "Command1(0)" << QRect(3, 3, 99, 19) << QColor(0, 255, 0);
    QTest::newRow("Без точка magenta") << "Command1(1)" << QRect(3, 3, 99, 19) << QColor(255, 0, 255);
    QTest::newRow("Чисти всичко red") << "Command1(2)" << QRect(3, 3, 99, 19) << QColor(255, 0, 0);
}

void tst_Window::colours()
{
    QFETCH(QString, name);
    QFETCH(QRect, area);
    QFETCH(QColor, colour);

    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *widget = name.isEmpty() ? &form : control(form, name);
    QVERIFY(widget);
    const QImage image = grabbed(widget);
    const QColor painted = dominantColour(image, area);
    QVERIFY2(sameColour(painted, colour),
             qPrintable(QStringLiteral("painted %1, expected %2").arg(describe(painted), describe(colour))));
    if (name.isEmpty()) {
        // The window's own background: every pixel of the bare area.
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                QCOMPARE(image.pixelColor(x, y), colour);
            }
        }
    }
}

void tst_Window::captionsCentred_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("title") << "Label1(0)";
    QTest::newRow("X heading") << "Label1(1)";
    QTest::newRow("Y heading") << "Label1(2)";
    QTest::newRow("Рицар") << "Command1(0)";
    QTest::newRow("Без точка") << "Command1(1)";
    QTest::newRow("Чисти всичко") << "Command1(2)";
}

void tst_Window::captionsCentred()
{
    QFETCH(QString, name);

    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *widget = control(form, name);
    // Away from the focus, so that no focus mark is drawn.
    form.List1[0]->setFocus();
    widget->repaint();
    const QImage image = grabbed(widget);
    const QRect inside = QRect(QPoint(0, 0), widget->size()).adjusted(3, 3, -3, -3);
    const QRect ink = inkBounds(image, inside);
    QVERIFY2(!ink.isEmpty(), "no caption drawn");
    // Centred across; the glyph bounds may differ by a pixel from side to side.
    const double inkCentre = (ink.left() + ink.right() + 1) / 2.0;
    QVERIFY2(std::abs(inkCentre - widget->width() / 2.0) <= 2.0,
             qPrintable(QStringLiteral("caption spans %1..%2 in %3")
                            .arg(ink.left()).arg(ink.right()).arg(widget->width())));

    // The caption is in the platform's text colour: its darkest pixel matches.
    const QColor textColour = widget->palette().color(
        qobject_cast<QLabel *>(widget) ? QPalette::WindowText : QPalette::ButtonText);
    bool found = false;
    for (int y = ink.top(); y <= ink.bottom() && !found; ++y) {
        for (int x = ink.left(); x <= ink.right() && !found; ++x) {
            found = sameColour(image.pixelColor(x, y), textColour, 16);
        }
    }
    QVERIFY2(found, qPrintable(QStringLiteral("no pixel in %1").arg(describe(textColour))));
}

void tst_Window::platformLooks_data()
{
    QTest::addColumn<QString>("name");

    QTest::newRow("story") << "Text1(0)";
    QTest::newRow("quotation") << "Text1(1)";
    QTest::newRow("X list") << "List1(0)";
    QTest::newRow("Y list") << "List1(1)";
    QTest::newRow("canvas") << "Picture1";
}

void tst_Window::platformLooks()
{
    QFETCH(QString, name);

    MainForm form;
    QWidget *widget = control(form, name);
    QVERIFY(widget);
    // The window's blue stays on the window: the style shades frames and
    // scroll bars from the palette, and these keep the platform's.
    const QPalette platform = QApplication::palette(widget);
    QList<QWidget *> parts{widget};
    parts += widget->findChildren<QWidget *>();
    for (const QWidget *part : parts) {
        for (const QPalette::ColorRole role : {QPalette::Window, QPalette::Base, QPalette::Button,
                                               QPalette::Light, QPalette::Dark, QPalette::Text}) {
            QVERIFY2(part->palette().color(QPalette::Active, role) == platform.color(QPalette::Active, role),
                     qPrintable(QStringLiteral("%1, role %2").arg(nameOf(form, part)).arg(int(role))));
        }
    }
}

void tst_Window::focusMarkOnButtons_data()
{
    QTest::addColumn<int>("index");

    QTest::newRow("Рицар on green") << 0;
    QTest::newRow("Без точка on magenta") << 1;
    QTest::newRow("Чисти всичко on red") << 2;
}

void tst_Window::focusMarkOnButtons()
{
    QFETCH(int, index);

    const auto form = shownForm();
    QVERIFY(form);
    FaceButton *button = form->Command1[size_t(index)];
    const QColor mark = button->palette().color(QPalette::ButtonText);
    // Dots in the caption's colour appear down the left side, inside the raised
    // edge, where the face showed before.
    const QImage before = grabbed(button);
    button->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(button->hasFocus());
    const QImage after = grabbed(button);
    int dots = 0;
    for (int y = 3; y < button->height() - 3; ++y) {
        dots += sameColour(after.pixelColor(4, y), mark, 16)
                        && !sameColour(before.pixelColor(4, y), mark, 16)
                    ? 1
                    : 0;
    }
    QVERIFY2(dots >= 5, qPrintable(QString::number(dots)));
}

void tst_Window::disabledJudgeKeepsItsFace()
{
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    FaceButton *judge = form.Command1[0];
    const QRect inside(3, 3, 99, 19);
    const QImage enabled = grabbed(judge);
    judge->setEnabled(false);
    const QImage disabled = grabbed(judge);
    QCOMPARE(dominantColour(disabled, inside), QColor(0, 255, 0));
    // The caption greys out: the picture changes inside the face.
    QVERIFY(enabled.copy(inside) != disabled.copy(inside));
    QVERIFY(!inkBounds(enabled, inside).isEmpty());
}

void tst_Window::canvasLooks()
{
    MainForm form;
    form.Picture2->hide();
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    CanvasWidget *canvas = form.Picture1;
    // A 2-pixel border round a 296 by 296 drawing area.
    QCOMPARE(canvas->contentsRect(), QRect(2, 2, 296, 296));
    const QImage image = grabbed(canvas);
    // Sunken: dark above and to the left, light below and to the right.
    const int topLeftShade = qGray(image.pixel(150, 0));
    const int bottomRightShade = qGray(image.pixel(150, 299));
    QVERIFY(topLeftShade < bottomRightShade);
    QVERIFY(qGray(image.pixel(0, 150)) < qGray(image.pixel(299, 150)));
    for (const QPoint at : {QPoint(0, 150), QPoint(1, 150), QPoint(150, 0), QPoint(150, 1)}) {
        QVERIFY2(image.pixelColor(at) != Qt::white, qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
    }
    // White inside the border, away from the valley circle.
    for (const QPoint at : {QPoint(2, 2), QPoint(297, 2), QPoint(2, 297), QPoint(297, 297),
                            QPoint(150, 150)}) {
        QVERIFY2(testsupport::isWhite(image.pixelColor(at)),
                 qPrintable(QStringLiteral("%1,%2").arg(at.x()).arg(at.y())));
    }
}

void tst_Window::illustration()
{
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QLabel *picture = form.Picture2;
    const QImage source(QStringLiteral(DV_RESOURCES_DIR "/illustration.jpg"));
    QCOMPARE(source.size(), QSize(237, 213));
    // At its own size, at 32,48 of the drawing area.
    QCOMPARE(picture->size(), source.size());
    QCOMPARE(picture->pos() - form.Picture1->contentsRect().topLeft(), QPoint(32, 48));
    // Inside the drawing area, so the canvas clips nothing of it.
    QVERIFY(form.Picture1->contentsRect().contains(picture->geometry()));

    // The canvas as painted shows the picture there, pixel for pixel.
    const QImage canvas = grabbed(form.Picture1);
    const QImage expected = source.convertToFormat(QImage::Format_RGB32);
    // Above a density of 1 the picture is scaled up smoothly, so a screen pixel
    // may blend in its neighbours: it must lie within their range.
    const bool scaled = form.devicePixelRatioF() > 1.0;
    for (const QPoint at : {QPoint(0, 0), QPoint(236, 0), QPoint(0, 212), QPoint(236, 212),
                            QPoint(118, 106), QPoint(60, 150), QPoint(180, 60)}) {
        const QColor shown = canvas.pixelColor(QPoint(34, 50) + at);
        bool matches = sameColour(shown, expected.pixelColor(at), 2);
        if (scaled && !matches) {
            int low[3] = {255, 255, 255};
            int high[3] = {0, 0, 0};
            for (int dy = -1; dy <= 1; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const QPoint near = at + QPoint(dx, dy);
                    if (!expected.valid(near)) {
                        continue;
                    }
                    const QColor c = expected.pixelColor(near);
                    const int channels[3] = {c.red(), c.green(), c.blue()};
                    for (int i = 0; i < 3; ++i) {
                        low[i] = std::min(low[i], channels[i]);
                        high[i] = std::max(high[i], channels[i]);
                    }
                }
            }
            const int got[3] = {shown.red(), shown.green(), shown.blue()};
            matches = true;
            for (int i = 0; i < 3; ++i) {
                matches = matches && got[i] >= low[i] - 2 && got[i] <= high[i] + 2;
            }
        }
        QVERIFY2(matches, qPrintable(QStringLiteral("illustration pixel %1,%2").arg(at.x()).arg(at.y())));
    }
    // Nothing of it outside its rectangle: the canvas is white just beside it.
    QVERIFY(testsupport::isWhite(canvas.pixelColor(33, 150)));
    QVERIFY(testsupport::isWhite(canvas.pixelColor(34 + 237, 150)));
}

void tst_Window::pressOnIllustration()
{
    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // A press on the picture is not a press on the canvas.
    QTest::mouseClick(form.Picture2, Qt::LeftButton, Qt::NoModifier, QPoint(118, 106));
    QCOMPARE(listCount(form.List1[0]), 0);
    QVERIFY(form.Picture2->isVisible());
    // The first press beside it hides it for good, and sets a point.
    testsupport::pressOnDrawingArea(*form.Picture1, QPoint(10, 10));
    QCOMPARE(listCount(form.List1[0]), 1);
    QVERIFY(!form.Picture2->isVisible());
    form.Command1[2]->click();
    QVERIFY(!form.Picture2->isVisible());
}

void tst_Window::icon()
{
    MainForm form;
    const QIcon icon = form.windowIcon();
    QVERIFY(!icon.isNull());
    QVERIFY(icon.availableSizes().contains(QSize(32, 32)));
    const QImage image = icon.pixmap(QSize(32, 32), 1.0).toImage().convertToFormat(QImage::Format_ARGB32);
    QCOMPARE(image.size(), QSize(32, 32));
    // At most 256 colours and an on/off transparency mask: clear corners, a
    // solid middle, nothing half see-through.
    QCOMPARE(qAlpha(image.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(image.pixel(16, 16)), 255);
    QSet<QRgb> colours;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb pixel = image.pixel(x, y);
            QVERIFY2(qAlpha(pixel) == 0 || qAlpha(pixel) == 255,
                     qPrintable(QStringLiteral("alpha %1 at %2,%3").arg(qAlpha(pixel)).arg(x).arg(y)));
            if (qAlpha(pixel) == 255) {
                colours.insert(pixel);
            }
        }
    }
    QVERIFY(colours.size() <= 256);
    QVERIFY(colours.size() > 16); // a picture, not a blot

    // The program file's icon for Windows carries the same 32 by 32 picture.
    QImageReader reader(QStringLiteral(DV_RESOURCES_DIR "/icon.ico"));
    QImage fileIcon;
    for (int i = 0; i < reader.imageCount(); ++i) {
        reader.jumpToImage(i);
        const QImage frame = reader.read();
        if (frame.size() == QSize(32, 32)) {
            fileIcon = frame.convertToFormat(QImage::Format_ARGB32);
        }
    }
    QVERIFY2(!fileIcon.isNull(), qPrintable(reader.errorString()));
    int differing = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const QRgb a = image.pixel(x, y);
            const QRgb b = fileIcon.pixel(x, y);
            const bool bothClear = qAlpha(a) < 128 && qAlpha(b) < 128;
            if (!bothClear && !sameColour(QColor::fromRgba(a), QColor::fromRgba(b), 24)) {
                ++differing;
            }
        }
    }
    QVERIFY2(differing < 32, qPrintable(QStringLiteral("%1 pixels differ").arg(differing)));
}

void tst_Window::font_data()
{
    QTest::addColumn<QString>("name"); // empty: the window itself

    QTest::newRow("window") << QString();
    for (const char *name : ControlNames) {
        QTest::newRow(name) << QString::fromLatin1(name);
    }
}

void tst_Window::font()
{
    QFETCH(QString, name);

    MainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget *widget = name.isEmpty() ? &form : control(form, name);
    QVERIFY(widget);
    const QFont font = widget->font();
    QCOMPARE(font.pointSize(), 12);
    QCOMPARE(font.weight(), QFont::Normal);
    QVERIFY(!font.italic());
    QVERIFY(!font.underline());
    QVERIFY(!font.strikeOut());
    // The face actually used: Times New Roman where installed, else its
    // metric twin Liberation Serif.
    const QFontInfo info(font);
    QVERIFY2(info.family() == QLatin1String("Times New Roman")
                 || info.family() == QLatin1String("Liberation Serif"),
             qPrintable(info.family()));
    QCOMPARE(info.pointSize(), 12);
    QVERIFY(!info.italic());
    QCOMPARE(info.weight(), QFont::Normal);
    // Every control shows exactly the window's font.
    QCOMPARE(font, form.font());
    if (const auto *list = qobject_cast<PointListView *>(widget)) {
        qobject_cast<PointModel *>(list->model())->Add({166.6667, 83.33334});
        QVERIFY(!list->model()->index(0, 0).data(Qt::FontRole).isValid());
        QCOMPARE(list->viewport()->font(), form.font());
    }
}

void tst_Window::fontShowsCyrillic()
{
    MainForm form;
    QString texts = form.windowTitle() + form.Text1[0]->toPlainText() + form.Text1[1]->toPlainText();
    for (const QLabel *label : form.Label1) {
        texts += label->text();
    }
    for (FaceButton *button : form.Command1) {
        texts += button->text();
    }
    // The glyphs come from the resolved face itself, not from a fallback font.
    const QRawFont raw = QRawFont::fromFont(form.font(), QFontDatabase::Cyrillic);
    QVERIFY(raw.isValid());
    QCOMPARE(raw.familyName(), QFontInfo(form.font()).family());
    QString missing;
    for (const QChar c : texts) {
        if (!c.isSpace() && !raw.supportsCharacter(c) && !missing.contains(c)) {
            missing += c;
        }
    }
    QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("no glyph for: ") + missing));
    QVERIFY(texts.contains(QStringLiteral("Чисти всичко")));
}

QTEST_MAIN(tst_Window)
#include "tst_window.moc"

#ifdef Q_OS_WIN
#include <windows.h>

namespace {

NativeFrame nativeFrame(QWidget &window)
{
    const LONG_PTR style = GetWindowLongPtrW(reinterpret_cast<HWND>(window.winId()), GWL_STYLE);
    return {(style & WS_CAPTION) == WS_CAPTION, (style & WS_SYSMENU) != 0,
            (style & WS_MINIMIZEBOX) != 0, (style & WS_MAXIMIZEBOX) != 0,
            (style & WS_THICKFRAME) != 0};
}

} // namespace
#endif
