#include "app/mainform.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    MainForm form;
    form.show();
    return application.exec();
}
