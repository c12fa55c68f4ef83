// What a screen reader learns about the window: every control's accessible name
// and role, the canvas's description, the headings tied to their lists, and the
// names heard while moving through the window with Tab.

#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QPlainTextEdit>
#include <QTest>

#include <functional>

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
    void tabOrderAsHeard();
};

void tst_Accessibility::controls_data()
{
    QTest::addColumn<ControlOf>("control");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<QAccessible::Role>>("roles"); // any of these will do
    QTest::addColumn<bool>("focusable");

    const QList<QAccessible::Role> text{QAccessible::EditableText, QAccessible::StaticText};
    const QList<QAccessible::Role> button{QAccessible::PushButton, QAccessible::Button};
    // The lists are one-column tables: screen readers read them row by row.
    const QList<QAccessible::Role> list{QAccessible::List, QAccessible::Table};

    QTest::newRow("story text") << ControlOf([](const MainForm &f) -> QWidget * { return f.Text1[0]; })
                                << QStringLiteral("Разказ и задача") << text << true;
    QTest::newRow("hidden quotation") << ControlOf([](const MainForm &f) -> QWidget * { return f.Text1[1]; })
                                      << QStringLiteral("Цитат") << text << true;
    QTest::newRow("title") << ControlOf([](const MainForm &f) -> QWidget * { return f.Label1[0]; })
                           << QStringLiteral("Заглавие") << QList{QAccessible::StaticText} << false;
    QTest::newRow("heading X") << ControlOf([](const MainForm &f) -> QWidget * { return f.Label1[1]; })
                               << QStringLiteral("Заглавие на списък X")
                               << QList{QAccessible::StaticText} << false;
    QTest::newRow("heading Y") << ControlOf([](const MainForm &f) -> QWidget * { return f.Label1[2]; })
                               << QStringLiteral("Заглавие на списък Y")
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
    // What it shows, how to set points, which button judges, and every verdict's line.
    for (const QString &needed : {QStringLiteral("долина"), QStringLiteral("дракон"),
                                  QStringLiteral("Щракнете"), QStringLiteral("Рицар"),
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
    QAccessibleInterface *heading =
        QAccessible::queryAccessibleInterface(form.Label1[size_t(index) + 1]);
    QWidget *const list = form.List1[size_t(index)];
    bool found = false;
    const auto relations = heading->relations(QAccessible::Labelled);
    for (const auto &relation : relations) {
        found = found || relation.first->object() == list;
    }
    QVERIFY2(found, "the heading does not label its list");
}

// Tabbing through the window names each stop; the lists and the buttons are all
// reachable by keyboard.
void tst_Accessibility::tabOrderAsHeard()
{
    MainForm form;
    form.show();
    QApplication::setActiveWindow(&form);
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
