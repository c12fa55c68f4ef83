#include "app/mainform.h"
#include "app/placement.h"

#include <QApplication>
#include <QDir>
#include <QFontDatabase>
#include <QPlainTextEdit>

#include <algorithm>
#include <cstdio>

#ifdef Q_OS_WASM
void startWebReader(MainForm &form); // webreader.cpp
#endif

// X11 or Wayland is a choice on Linux alone; elsewhere Qt has one window system.
#ifdef Q_OS_LINUX
namespace {

bool waylandPluginInstalled()
{
    const QStringList paths = QCoreApplication::libraryPaths();
    return std::any_of(paths.begin(), paths.end(), [](const QString &path) {
        return !QDir(path + QStringLiteral("/platforms")).entryList({QStringLiteral("*wayland*")}, QDir::Files).isEmpty();
    });
}

// Where there is an X display, XWayland included, the window goes through it,
// whatever QT_QPA_PLATFORM says: X11 window managers give it the title bar it
// asks for (the caption and a close box alone), its fixed size and its centred
// place, where Qt's Wayland plugin draws a frame of its own with buttons the
// window must not have. "-platform wayland" still asks for Wayland itself.
void chooseWindowSystem()
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    const bool wayland = platform.startsWith("wayland")
        || (platform.isEmpty()
            && (qEnvironmentVariableIsSet("WAYLAND_DISPLAY") || qgetenv("XDG_SESSION_TYPE") == "wayland"));
    if (!wayland) {
        return;
    }
    if (!qEnvironmentVariableIsEmpty("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    } else if (!waylandPluginInstalled()) {
        std::fputs("dragon-valley: this Wayland desktop has no XWayland and Qt's Wayland "
                   "plugin is missing: install qt6-wayland, or turn XWayland on\n", stderr);
    }
}

} // namespace
#endif

int main(int argc, char *argv[])
{
#ifdef Q_OS_LINUX
    chooseWindowSystem();
#endif
#ifdef Q_OS_WASM
    // Nothing in the window takes typed text, so the browser build goes without
    // Qt's text-input helper: with it (Qt 6.8), the keyboard focus leaves the
    // window for a hidden text field as soon as Tab moves it to the canvas, and
    // the arrows and Return no longer reach the canvas.
    qputenv("QT_IM_MODULE", "none");
#endif
    QApplication application(argc, argv);
#ifdef Q_OS_WASM
    // A browser lends the page none of its fonts: the serif the window asks for
    // comes with the program (app/CMakeLists.txt), so captions fit as on the desktop.
    QFontDatabase::addApplicationFont(QStringLiteral(":/fonts/LiberationSerif-Regular.ttf"));
#endif
    // The id of the installed desktop entry and AppStream data: desktops match the
    // window to its entry (name and icon in the task bar) by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.DragonValley"));
    MainForm form;
    centreOnScreen(form);
    form.show();
#ifdef Q_OS_WASM
    // In the browser (Qt 6.8) the window is activated while show() runs, and the
    // focus lands on the canvas, next in the tab order; the story is to hold it
    // at start, as on the desktop.
    form.Text1[0]->setFocus();
    startWebReader(form);
#endif
    return application.exec();
}
