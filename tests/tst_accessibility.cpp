// What a screen reader learns about the window: every control's accessible name
// and role, the canvas's description, the headings tied to their lists, and the
// names heard while moving through the window with Tab.

#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"
#include "testsupport.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <algorithm>
#include <functional>
#include <set>
#include <utility>

using ControlOf = std::function<QWidget *(MainForm &)>;
Q_DECLARE_METATYPE(ControlOf)
Q_DECLARE_METATYPE(QAccessible::Role)

namespace {

QString nameOf(QWidget *widget)
{
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    return iface != nullptr ? iface->text(QAccessible::Name) : QString();
}

// Whether `target` is reachable from `root` through the accessible children, as
// a screen reader walks the window.
bool reachable(QAccessibleInterface *root, const QObject *target, int depth = 0)
{
    if (root == nullptr || depth > 8) {
        return false;
    }
    if (root->object() == target) {
        return true;
    }
    for (int i = 0; i < root->childCount(); ++i) {
        if (reachable(root->child(i), target, depth + 1)) {
            return true;
        }
    }
    return false;
}

// What the window said to a screen reader since the last call. Under Qt 6.8 and
// later: the announcements that Qt's update handler saw. Under Qt 6.4, which has
// none: the canvas's new items that a screen reader speaks (its notification,
// and the item that has the focus while it has).
QStringList s_announced;

void hear(QAccessibleEvent *event)
{
#if QT_VERSION >= QT_VERSION_CHECK(6, 8, 0)
    if (event->type() == QAccessible::Announcement) {
        s_announced << static_cast<QAccessibleAnnouncementEvent *>(event)->message();
    }
#else
    Q_UNUSED(event);
#endif
}

QStringList heardSince(CanvasWidget *canvas)
{
    QStringList heard = std::exchange(s_announced, {});
    static std::set<QAccessible::Id> known;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(canvas);
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        if (child->role() != QAccessible::StaticText && child->object() == nullptr
            && known.insert(QAccessible::uniqueId(child)).second) {
            heard << child->text(QAccessible::Name);
        }
    }
    return heard;
}

bool hasCyrillic(const QString &text)
{
    for (const QChar c : text) {
        if (c.script() == QChar::Script_Cyrillic) {
            return true;
        }
    }
    return false;
}

} // namespace

class tst_Accessibility : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void controls_data();
    void controls();
    void windowName();
    void canvasDescription();
    void headingsLabelTheirLists_data();
    void headingsLabelTheirLists();
    void entriesHeardAsPoints();
    void verdictsInTheDescription();
    void actionsAnnounced_data();
    void actionsAnnounced();
    void keysOnTheCanvasHeard();
    void tabOrderAsHeard();

    void init() { QAccessible::installUpdateHandler(hear); }
    void cleanup() { QAccessible::installUpdateHandler(nullptr); }
};

void tst_Accessibility::controls_data()
{
    QTest::addColumn<ControlOf>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QAccessible::Role>>("roles"); // any of these will do
    QTest::addColumn<bool>("focusable");

    const QList<QAccessible::Role> text{QAccessible::EditableText, QAccessible::StaticText};
    const QList<QAccessible::Role> button{QAccessible::PushButton, QAccessible::Button};
    const QList<QAccessible::Role> list{QAccessible::List};

    QTest::newRow("story text") << ControlOf([](const MainForm &f) -> QWidget * { return f.Text1[0]; })
                                << QStringLiteral("Разказ и задача") << text << true;
    QTest::newRow("hidden quotation") << ControlOf([](const MainForm &f) -> QWidget * { return f.Text1[1]; })
                                      << QStringLiteral("Цитат") << text << true;
    QTest::newRow("title") << ControlOf([](const MainForm &f) -> QWidget * { return f.Label1[0]; })
                           << QStringLiteral("Легендата за рицаря и огнения дракон")
                           << QList{QAccessible::StaticText} << false;
    QTest::newRow("heading X") << ControlOf([](const MainForm &f) -> QWidget * { return f.Label1[1]; })
                               << QStringLiteral("Списък X")
                               << QList{QAccessible::StaticText} << false;
    QTest::newRow("heading Y") << ControlOf([](const MainForm &f) -> QWidget * { return f.Label1[2]; })
                               << QStringLiteral("Списък Y")
                               << QList{QAccessible::StaticText} << false;
    QTest::newRow("canvas") << ControlOf([](const MainForm &f) -> QWidget * { return f.Picture1; })
                            << QStringLiteral("Платно с долината")
                            << QList{QAccessible::Canvas, QAccessible::Graphic} << true;
    QTest::newRow("list X") << ControlOf([](const MainForm &f) -> QWidget * { return f.List1[0]; })
                            << QStringLiteral("Списък X") << list << true;
    QTest::newRow("list Y") << ControlOf([](const MainForm &f) -> QWidget * { return f.List1[1]; })
                            << QStringLiteral("Списък Y") << list << true;
    QTest::newRow("judge button") << ControlOf([](const MainForm &f) -> QWidget * { return f.Command1[0]; })
                                  << QStringLiteral("Рицар") << button << true;
    QTest::newRow("remove button") << ControlOf([](const MainForm &f) -> QWidget * { return f.Command1[1]; })
                                   << QStringLiteral("Без точка") << button << true;
    QTest::newRow("clear button") << ControlOf([](const MainForm &f) -> QWidget * { return f.Command1[2]; })
                                  << QStringLiteral("Чисти всичко") << button << true;
    QTest::newRow("illustration") << ControlOf([](const MainForm &f) -> QWidget * { return f.Picture2; })
                                  << QStringLiteral("Илюстрация: дракон и рицар")
                                  << QList{QAccessible::Graphic} << true;
}

void tst_Accessibility::controls()
{
    QFETCH(ControlOf, control);
    QFETCH(QString, name);
    QFETCH(QList<QAccessible::Role>, roles);
    QFETCH(bool, focusable);

    MainForm form;
    QWidget *widget = control(form);
    QVERIFY(widget != nullptr);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface != nullptr && iface->isValid());

    QCOMPARE(iface->text(QAccessible::Name), name);
    QVERIFY2(roles.contains(iface->role()),
             qPrintable(QStringLiteral("role %1").arg(int(iface->role()))));
    QCOMPARE(bool(iface->state().focusable), focusable);
    QVERIFY2(reachable(QAccessible::queryAccessibleInterface(&form), widget),
             "not among the window's accessible descendants");
}

void tst_Accessibility::windowName()
{
    MainForm form;
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(&form);
    QVERIFY(iface != nullptr);
    QCOMPARE(iface->text(QAccessible::Name), QStringLiteral("Долината на дракона"));
    QCOMPARE(iface->role(), QAccessible::Window);
    QVERIFY(hasCyrillic(iface->text(QAccessible::Description)));
}

void tst_Accessibility::canvasDescription()
{
    MainForm form;
    const QString description =
        QAccessible::queryAccessibleInterface(form.Picture1)->text(QAccessible::Description);
    // What it shows, how to set points by mouse and by keys, which points make a
    // rope, which button judges, and every verdict's line.
    for (const QString &needed : {QStringLiteral("долина"), QStringLiteral("дракон"),
                                  QStringLiteral("Щракнете"), QStringLiteral("стрелките"),
                                  QStringLiteral("Enter"), QStringLiteral("Точки 1 и 2 са въже 1"),
                                  QStringLiteral("Рицар"),
                                  QStringLiteral("плътна"), QStringLiteral("пунктир"),
                                  QStringLiteral("точки"), QStringLiteral("тире и две точки")}) {
        QVERIFY2(description.contains(needed, Qt::CaseInsensitive), qPrintable(needed));
    }
}

void tst_Accessibility::headingsLabelTheirLists_data()
{
    QTest::addColumn<int>("index");
    QTest::newRow("X heading, X list") << 0;
    QTest::newRow("Y heading, Y list") << 1;
}

void tst_Accessibility::headingsLabelTheirLists()
{
    QFETCH(int, index);
    MainForm form;
    QWidget *const headingWidget = form.Label1[size_t(index) + 1];
    QWidget *const listWidget = form.List1[size_t(index)];
    const auto related = [](QWidget *from, QAccessible::Relation relation, QWidget *to) {
        const auto relations = QAccessible::queryAccessibleInterface(from)->relations(relation);
        return std::any_of(relations.begin(), relations.end(),
                           [to](const auto &found) { return found.first->object() == to; });
    };
    QVERIFY2(related(headingWidget, QAccessible::Labelled, listWidget),
             "the heading does not label its list");
    QVERIFY2(related(listWidget, QAccessible::Label, headingWidget),
             "the list is not labelled by its heading");
}

// Each entry is heard as its point, with a decimal comma that Bulgarian speech
// reads as a number, while the list shows the decimal point; one entry per
// point, whatever else the lists' model holds.
void tst_Accessibility::entriesHeardAsPoints()
{
    MainForm form;
    form.Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, 13.51351f, 250.0f);
    form.Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, 486.4865f, 6.756757f);
    const QStringList expected[] = {{"Точка 1: 13,51351", "Точка 2: 486,4865"},
                                    {"Точка 1: 250", "Точка 2: 6,756757"}};
    for (size_t list = 0; list < 2; ++list) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(form.List1[list]);
        QCOMPARE(iface->childCount(), 2);
        QStringList heard;
        for (int i = 0; i < iface->childCount(); ++i) {
            QCOMPARE(iface->child(i)->role(), QAccessible::ListItem);
            heard << iface->child(i)->text(QAccessible::Name);
        }
        QCOMPARE(heard, expected[list]);
        QCOMPARE(testsupport::listText(form.List1[list], 0), list == 0 ? "13.51351" : "250");
    }
}

// After judging, the canvas's description ends with every rope's verdict, until
// a removal or clear all erases the ropes.
void tst_Accessibility::verdictsInTheDescription()
{
    MainForm form;
    const auto press = [&form](float x, float y) {
        form.Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, x, y);
    };
    press(10, 150); press(490, 150); // 100 from the centre: wins
    press(10, 60); press(490, 60);   // 190 from the centre: too far
    const auto description = [&form] {
        return QAccessible::queryAccessibleInterface(form.Picture1)->text(QAccessible::Description);
    };
    const QString howToPlay = description();
    QVERIFY(!howToPlay.contains(QStringLiteral("Въже 1:")));
    form.Command1_Click(0);
    QCOMPARE(description(), howToPlay + " Въже 1: успех. Въже 2: твърде далеч от дракона.");
    testsupport::setListIndex(form.List1[0], 3);
    form.Command1_Click(1);
    QCOMPARE(description(), howToPlay);
}

void tst_Accessibility::actionsAnnounced_data()
{
    QTest::addColumn<int>("points");  // ropes across the valley, two points each
    QTest::addColumn<bool>("judged"); // "Рицар" before the action
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("heard"); // empty: nothing at all

    QTest::newRow("judging") << 4 << false << -1 << 0 << "Въже 1: успех. Въже 2: успех";
    QTest::newRow("judging fewer than two points") << 1 << false << -1 << 0 << QString();
    QTest::newRow("removal of point 3 of 6") << 6 << false << 2 << 1
                                             << "Точка 3 е премахната, остават 5 точки";
    QTest::newRow("removal leaving one") << 2 << false << 0 << 1
                                         << "Точка 1 е премахната, остава 1 точка";
    QTest::newRow("removal of the only point") << 1 << false << 0 << 1
                                               << "Точка 1 е премахната, не остават точки";
    QTest::newRow("removal after judging") << 4 << true << 3 << 1
                                           << "Точка 4 е премахната, остават 3 точки";
    QTest::newRow("removal with nothing selected") << 4 << true << -1 << 1 << QString();
    QTest::newRow("clear all") << 3 << false << -1 << 2 << "Платното и списъците са изчистени";
    QTest::newRow("clear all after judging") << 2 << true << 1 << 2
                                             << "Платното и списъците са изчистени";
    QTest::newRow("clear all of nothing") << 0 << false << -1 << 2
                                          << "Платното и списъците са изчистени";
}

// What a button did is said wherever the focus is, once; a removal of nothing
// says nothing.
void tst_Accessibility::actionsAnnounced()
{
    QFETCH(int, points);
    QFETCH(bool, judged);
    QFETCH(int, selected);
    QFETCH(int, button);
    QFETCH(QString, heard);

    MainForm form;
    for (int i = 0; i < points; ++i) {
        // Ropes 100 from the centre, each a win.
        form.Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, i % 2 == 0 ? 10 : 490, 150);
    }
    if (judged) {
        form.Command1_Click(0);
    }
    if (selected >= 0) {
        testsupport::setListIndex(form.List1[1], selected);
    }
    heardSince(form.Picture1);
    form.Command1_Click(button);
    QCOMPARE(heardSince(form.Picture1), heard.isEmpty() ? QStringList() : QStringList{heard});
}

// Where the keyboard cross went, and the point it placed, are said while the
// canvas has the focus; the same point placed by code while it has not, is not.
void tst_Accessibility::keysOnTheCanvasHeard()
{
    MainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    heardSince(form.Picture1);
    form.Picture1_MouseDown(Qt::LeftButton, Qt::NoModifier, 10, 10);
    QCOMPARE(heardSince(form.Picture1), QStringList());

    form.Picture1->setFocus(Qt::TabFocusReason);
    QStringList heard;
    for (const Qt::Key key : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Down, Qt::Key_Return}) {
        QTest::keyClick(form.Picture1, key);
        heard << heardSince(form.Picture1);
    }
    QCOMPARE(heard, QStringList({"X 250, Y 250", "X 252, Y 250", "X 252, Y 252",
                                 "Точка 2: X 251,6892, Y 251,6892"}));
}

// Tabbing through the window names each stop; the lists and the buttons are all
// reachable by keyboard.
void tst_Accessibility::tabOrderAsHeard()
{
    MainForm form;
    form.show();
    form.activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(&form));
    QTRY_COMPARE(QApplication::focusWidget(), static_cast<QWidget *>(form.Text1[0]));

    QStringList heard{nameOf(QApplication::focusWidget())};
    for (int i = 0; i < 7; ++i) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        QWidget *focused = QApplication::focusWidget();
        QVERIFY(focused != nullptr);
        QVERIFY(QAccessible::queryAccessibleInterface(focused)->state().focused);
        heard << nameOf(focused);
    }
    const QStringList expected{QStringLiteral("Разказ и задача"), QStringLiteral("Платно с долината"),
                               QStringLiteral("Списък X"), QStringLiteral("Списък Y"),
                               QStringLiteral("Рицар"), QStringLiteral("Без точка"),
                               QStringLiteral("Чисти всичко"),
                               QStringLiteral("Илюстрация: дракон и рицар")};
    QCOMPARE(heard, expected);
}

QTEST_MAIN(tst_Accessibility)
#include "tst_accessibility.moc"
