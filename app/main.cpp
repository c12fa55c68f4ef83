#include "app/mainform.h"

#include <QApplication>

#ifdef DV_FONTCONFIG_WARM_UP
#include <fontconfig/fontconfig.h>

#include <thread>
#endif

int main(int argc, char *argv[])
{
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
