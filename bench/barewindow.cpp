// The floor for whole-program start-up: a bare Qt program that shows one empty
// window of Dragon Valley's size and nothing else. Measured from outside by
// bench/run-benchmarks.sh, the same way as dragon-valley.

#include <QApplication>
#include <QWidget>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QWidget window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.setFixedSize(453, 469);
    window.show();
    return application.exec();
}
