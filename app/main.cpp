#include "app/mainform.h"
#include "app/placement.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    // The id of the installed desktop entry and AppStream data: desktops match the
    // window to its entry (name and icon in the task bar) by it.
    QGuiApplication::setDesktopFileName(QStringLiteral("org.example.DragonValley"));
    MainForm form;
    centreOnScreen(form);
    form.show();
    return application.exec();
}
