// The point lists on their own: every entry keeps its text and its number
// together through additions, removals and clearing, so the dots redrawn and the
// ropes judged from the lists are the points the lists show.

#include "surface/listboxwidget.h"

#include <QStyledItemDelegate>
#include <QTest>

#include <string>
#include <vector>

namespace {

using Texts = std::vector<std::string>;

void fill(ListBoxWidget &list, const Texts &texts)
{
    for (const std::string &text : texts) {
        list.AddItem(text);
    }
}

// Compares every entry with `expected`: its text, in both forms, and its number
// as the text reads, asked for one by one and all at once.
void checkEntries(const ListBoxWidget &list, const Texts &expected)
{
    QCOMPARE(list.ListCount(), int(expected.size()));
    // Whatever the vector held before is replaced, longer or shorter.
    std::vector<double> numbers(expected.size() % 2 == 0 ? 9 : 1, -1.0);
    list.Numbers(numbers);
    QCOMPARE(numbers.size(), expected.size());
    for (int row = 0; row < int(expected.size()); ++row) {
        const std::string &text = expected[size_t(row)];
        QCOMPARE(list.List(row), text);
        QCOMPARE(list.text(row), QString::fromStdString(text));
        QCOMPARE(list.Number(row), surface::ReadNumber(text));
        QCOMPARE(numbers[size_t(row)], surface::ReadNumber(text));
    }
}

} // namespace

class tst_ListBox : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberOfEachEntry_data();
    void numberOfEachEntry();
    void removalKeepsTextsAndNumbersTogether_data();
    void removalKeepsTextsAndNumbersTogether();
    void clearThenAddStartsAfresh();
    void outOfRangeAsksAreHarmless();
    void rowsLookAsTheStyleDrawsThem_data();
    void rowsLookAsTheStyleDrawsThem();
};

void tst_ListBox::numberOfEachEntry_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<double>("number");

    QTest::newRow("whole") << "250" << 250.0;
    QTest::newRow("seven digits") << "166.6667" << 166.6667;
    QTest::newRow("small") << "1.689189" << 1.689189;
    QTest::newRow("exponent") << "1e+07" << 1e7;
    QTest::newRow("negative") << "-12.5" << -12.5;
    QTest::newRow("zero") << "0" << 0.0;
    QTest::newRow("number then letters") << "12.5abc" << 12.5;
    QTest::newRow("letters") << "abc" << 0.0;
    QTest::newRow("empty") << "" << 0.0;
    QTest::newRow("leading blank") << " 5" << 0.0;
    QTest::newRow("decimal comma") << "12,5" << 12.0;
    QTest::newRow("cyrillic") << "Без точка" << 0.0;
}

void tst_ListBox::numberOfEachEntry()
{
    QFETCH(QString, text);
    QFETCH(double, number);

    // Among other entries, so that its place in the list is tested too.
    ListBoxWidget list;
    const Texts texts = {"83.33334", text.toStdString(), "416.6667"};
    fill(list, texts);

    checkEntries(list, texts);
    QCOMPARE(list.Number(1), number);
}

void tst_ListBox::removalKeepsTextsAndNumbersTogether_data()
{
    QTest::addColumn<int>("row");

    QTest::newRow("first") << 0;
    QTest::newRow("second") << 1;
    QTest::newRow("middle") << 3;
    QTest::newRow("before last") << 5;
    QTest::newRow("last") << 6;
}

void tst_ListBox::removalKeepsTextsAndNumbersTogether()
{
    QFETCH(int, row);

    // Entries of different lengths, one of them not ASCII: a removal must move
    // every later entry's text and number up together.
    ListBoxWidget list;
    Texts texts = {"1", "22.5", "333.3333", "Без", "5e-05", "", "7.25"};
    fill(list, texts);

    list.RemoveItem(row);
    texts.erase(texts.begin() + row);
    checkEntries(list, texts);

    // And again, after which an entry added last reads back right.
    list.RemoveItem(0);
    texts.erase(texts.begin());
    list.AddItem("499.9999");
    texts.push_back("499.9999");
    checkEntries(list, texts);
}

void tst_ListBox::clearThenAddStartsAfresh()
{
    ListBoxWidget list;
    fill(list, {"10", "20", "30"});
    list.Clear();
    checkEntries(list, {});

    fill(list, {"40.5", "50"});
    checkEntries(list, {"40.5", "50"});
}

void tst_ListBox::outOfRangeAsksAreHarmless()
{
    ListBoxWidget list;
    fill(list, {"10", "20"});

    list.RemoveItem(2);
    list.RemoveItem(-1);
    checkEntries(list, {"10", "20"});
    QCOMPARE(list.List(2), std::string());
    QCOMPARE(list.Number(-1), 0.0);
    QCOMPARE(list.Number(2), 0.0);
}

void tst_ListBox::rowsLookAsTheStyleDrawsThem_data()
{
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("focused");
    QTest::addColumn<bool>("enabled");

    QTest::newRow("application font") << QString() << -1 << false << true;
    QTest::newRow("window font") << "Times New Roman" << -1 << false << true;
    QTest::newRow("selected") << "Times New Roman" << 2 << false << true;
    QTest::newRow("selected with focus") << "Times New Roman" << 1 << true << true;
    QTest::newRow("first row selected with focus") << "Times New Roman" << 0 << true << true;
    QTest::newRow("disabled") << "Times New Roman" << 2 << false << false;
}

void tst_ListBox::rowsLookAsTheStyleDrawsThem()
{
    QFETCH(QString, family);
    QFETCH(int, selected);
    QFETCH(bool, focused);
    QFETCH(bool, enabled);

    // The list keeps its entries' laid-out text between repaints; what it shows
    // must be what the style's own delegate shows, pixel for pixel, including an
    // entry too long for the row (which the style elides).
    QWidget window;
    window.resize(200, 120);
    auto *list = new ListBoxWidget(&window);
    list->setGeometry(10, 10, 105, 80);
    if (!family.isEmpty()) {
        QFont font(family, 12);
        font.setFamilies({family, QStringLiteral("Liberation Serif")});
        list->setFont(font);
    }
    fill(*list, {"250", "166.6667", "1.689189", "-0.8445946", "123456789012345678", "83.33334",
                 "Без точка"});
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    if (focused) {
        window.activateWindow();
        list->setFocus();
    }
    list->SetListIndex(selected);
    list->setEnabled(enabled);

    for (const int top : {0, 3}) {
        list->scrollTo(list->model()->index(top, 0), QAbstractItemView::PositionAtTop);
        const QImage cached = list->grab().toImage();
        QStyledItemDelegate style;
        QAbstractItemDelegate *own = list->itemDelegate();
        list->setItemDelegate(&style);
        const QImage plain = list->grab().toImage();
        list->setItemDelegate(own);
        QCOMPARE(cached, plain);
        // Drawn again from the kept text.
        QCOMPARE(list->grab().toImage(), plain);
    }
}

QTEST_MAIN(tst_ListBox)
#include "tst_listbox.moc"
