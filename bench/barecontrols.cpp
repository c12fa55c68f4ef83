// The controls floor for whole-program start-up: the window of barelabel.cpp
// with the same kinds of Qt controls as Dragon Valley, where Dragon Valley has
// them, all empty and in the toolkit's own look: a read-only text box with its
// scroll bar, two list views, a sunken panel, three push buttons and three
// labels. No story, no pictures, no drawing of its own. Whatever a window made
// of these controls costs over the bare window, Dragon Valley cannot avoid.
// Measured from outside by bench/run-benchmarks.sh, like the others.

#include <QApplication>
#include <QFont>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTableView>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt controls"));
    window.setFixedSize(453, 469);
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal);
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Tinos")});
    font.setStyleHint(QFont::Serif);
    window.setFont(font);

    QPlainTextEdit story(&window);
    story.setGeometry(8, 336, 433, 129);
    story.setReadOnly(true);
    story.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    QLabel title(QStringLiteral("Легендата за рицаря и огнения дракон"), &window);
    title.setGeometry(64, 0, 337, 25);
    QFrame panel(&window);
    panel.setFrameStyle(QFrame::WinPanel | QFrame::Sunken);
    panel.setGeometry(8, 32, 300, 300);
    QTableView xs(&window);
    QTableView ys(&window);
    for (QTableView *list : {&xs, &ys}) {
        list->horizontalHeader()->hide();
        list->verticalHeader()->hide();
    }
    xs.setGeometry(344, 32, 105, 80);
    ys.setGeometry(344, 136, 105, 80);
    QPushButton judge(QStringLiteral("Рицар"), &window);
    judge.setGeometry(328, 240, 105, 25);
    QPushButton remove(QStringLiteral("Без точка"), &window);
    remove.setGeometry(328, 272, 105, 25);
    QPushButton clear(QStringLiteral("Чисти всичко"), &window);
    clear.setGeometry(328, 304, 105, 25);
    QLabel x(QStringLiteral("X"), &window);
    x.setGeometry(312, 32, 33, 25);
    QLabel y(QStringLiteral("Y"), &window);
    y.setGeometry(312, 136, 33, 25);

    window.show();
    return application.exec();
}
