#include "app/mainform.h"

#include <QApplication>

#ifdef DV_FONTCONFIG_WARM_UP
#include <fontconfig/fontconfig.h>

#include <thread>
#endif
#ifdef __GLIBC__
#include <malloc.h>
#endif

int main(int argc, char *argv[])
{
#ifdef __GLIBC__
    // One malloc arena for all threads. glibc gives every thread that allocates
    // an arena of its own: the warm-up thread's would keep fontconfig's
    // configuration apart (0.3 MiB more resident at the peak) though the window's
    // thread is the one that uses it, and Qt's helper threads allocate little.
    mallopt(M_ARENA_MAX, 1);
#endif
#ifdef DV_FONTCONFIG_WARM_UP
    // The window's first text makes Qt load fontconfig's configuration and font
    // list: some fifty XML files parsed, the largest single cost of start-up.
    // Qt starts it with FcInit(), which needs nothing from Qt, so a second core
    // does it here while QApplication connects to the display; Qt's own call
    // then finds it done.
    std::thread fontconfigWarmUp([] { FcInit(); });
#endif
    QApplication application(argc, argv);
    // The id of the installed desktop entry and AppStream data: desktops match the
    // window to its entry (name and icon in the task bar) by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.DragonValley"));
#ifdef DV_FONTCONFIG_WARM_UP
    // Before any text: two loads at once would each do the whole work.
    fontconfigWarmUp.join();
#endif
    MainForm form;
    form.show();
    return application.exec();
}
