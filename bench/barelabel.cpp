// The text floor for whole-program start-up: the bare window of barewindow.cpp
// plus one label showing a line of Cyrillic text in Dragon Valley's font. Any
// Qt program that shows text pays what this adds to the bare window: loading
// fontconfig's configuration and font list, opening the font and shaping the
// line. Measured from outside by bench/run-benchmarks.sh, like the others.

#include <QApplication>
#include <QFont>
#include <QLabel>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt label"));
    window.setFixedSize(453, 469);
    QFont font(QStringLiteral("Times New Roman"), 12, QFont::Normal);
    font.setFamilies({QStringLiteral("Times New Roman"), QStringLiteral("Liberation Serif"),
                      QStringLiteral("Tinos")});
    font.setStyleHint(QFont::Serif);
    window.setFont(font);
    QLabel label(QStringLiteral("Легендата за рицаря и огнения дракон"), &window);
    label.setGeometry(64, 0, 337, 25);
    window.show();
    return application.exec();
}
