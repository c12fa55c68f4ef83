// Plays a session of clicks on the real window and writes what it shows: the
// Linux side of scripts/check-web.sh, which plays the same session in a browser.
//
//   session-shots SESSION OUTDIR
//
// SESSION holds one action a line ('#' starts a comment):
//   click X Y    a left click at the window's pixel (X, Y), on whatever lies there
//   key NAME     a key pressed and released where the keyboard focus is, named as
//                QKeySequence names keys ("Tab", "Right", "Shift+Down", "Return")
//   shot NAME    writes OUTDIR/NAME.png, the canvas's drawing area in device
//                pixels, and OUTDIR/NAME.txt, the X list, the Y list and the
//                verdicts of the judged ropes, one entry a line
//   window NAME  writes OUTDIR/NAME.png, the window as the screen shows it,
//                with its frame
// Run it on the offscreen platform (on Windows, the windows one);
// QT_SCALE_FACTOR=2 gives the drawing at 200 %.

#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/pointlistview.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QKeySequence>
#include <QScreen>
#include <QTest>
#include <QTextStream>

#include <cstdio>

namespace {

void clickAt(MainForm &form, QPoint at)
{
    QWidget *target = form.childAt(at);
    if (!target) {
        target = &form;
    }
    QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, target->mapFrom(&form, at));
}

QStringList entries(const PointListView *list)
{
    QStringList texts;
    for (int row = 0; row < list->model()->rowCount(); ++row) {
        texts << list->model()->index(row, list->modelColumn()).data().toString();
    }
    return texts;
}

bool writeShot(const MainForm &form, const QString &path)
{
    if (!form.Picture1->image().save(path + QStringLiteral(".png"))) {
        return false;
    }
    QFile file(path + QStringLiteral(".txt"));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Text)) {
        return false;
    }
    QTextStream out(&file);
    out << "X: " << entries(form.List1[0]).join(u' ') << '\n'
        << "Y: " << entries(form.List1[1]).join(u' ') << '\n';
    for (const QString &verdict : form.Picture1->verdictTexts()) {
        out << verdict << '\n';
    }
    return true;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fputs("usage: session-shots SESSION OUTDIR\n", stderr);
        return 2;
    }
    QFile session(QString::fromLocal8Bit(argv[1]));
    if (!session.open(QIODevice::ReadOnly | QIODevice::Text)) {
        std::fprintf(stderr, "session-shots: cannot read %s\n", argv[1]);
        return 2;
    }
    const QDir out(QString::fromLocal8Bit(argv[2]));
    QDir().mkpath(out.path());

    MainForm form;
    form.show();
    if (!QTest::qWaitForWindowExposed(&form)) {
        return 1;
    }
    QTextStream in(&session);
    for (int number = 1; !in.atEnd(); ++number) {
        const QStringList words = in.readLine().section(u'#', 0, 0).split(u' ', Qt::SkipEmptyParts);
        bool ok = true;
        if (words.size() == 3 && words[0] == QLatin1String("click")) {
            bool xOk = false;
            bool yOk = false;
            const QPoint at(words[1].toInt(&xOk), words[2].toInt(&yOk));
            ok = xOk && yOk;
            if (ok) {
                clickAt(form, at);
            }
        } else if (words.size() == 2 && words[0] == QLatin1String("key")) {
            const QKeySequence sequence(words[1]);
            ok = sequence.count() == 1;
            QWidget *focus = QApplication::focusWidget();
            if (ok) {
                QTest::keyClick(focus ? focus : &form, sequence[0].key(), sequence[0].keyboardModifiers());
            }
        } else if (words.size() == 2 && words[0] == QLatin1String("shot")) {
            ok = writeShot(form, out.filePath(words[1]));
        } else if (words.size() == 2 && words[0] == QLatin1String("window")) {
            QTest::qWait(200); // the lists lay out their entries on a timer
            form.repaint();
            const QRect frame = form.frameGeometry();
            ok = form.screen()->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                     .save(out.filePath(words[1] + QStringLiteral(".png")));
        } else {
            ok = words.isEmpty();
        }
        if (!ok) {
            std::fprintf(stderr, "session-shots: %s:%d: cannot do '%s'\n", argv[1], number,
                         qPrintable(words.join(u' ')));
            return 1;
        }
    }
    return 0;
}
