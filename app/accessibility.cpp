#include "app/accessibility.h"

#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPlainTextEdit>

namespace {

// Qt takes a plain QWidget for a client area and a QFrame for a border; screen
// readers are to hear a window (a frame) and a canvas.
QAccessibleInterface *roleByClass(const QString &className, QObject *object)
{
    if (object == nullptr || !object->isWidgetType()) {
        return nullptr;
    }
    auto *widget = static_cast<QWidget *>(object);
    if (className == QLatin1String("MainForm")) {
        return new QAccessibleWidget(widget, QAccessible::Window);
    }
    if (className == QLatin1String("CanvasWidget")) {
        return new QAccessibleWidget(widget, QAccessible::Canvas);
    }
    return nullptr;
}

void describe(QWidget *widget, const QString &name, const QString &description = {})
{
    widget->setAccessibleName(name);
    if (!description.isEmpty()) {
        widget->setAccessibleDescription(description);
    }
}

} // namespace

void setUpAccessibility(MainForm &form)
{
    static const bool factoryInstalled = [] {
        QAccessible::installFactory(roleByClass);
        return true;
    }();
    Q_UNUSED(factoryInstalled);

    describe(&form, QStringLiteral("Долината на дракона"),
             QStringLiteral("Приказна геометрия за ученици: хорди на окръжност, "
                            "разказани като легендата за рицаря и огнения дракон"));

    describe(form.Text1[0], QStringLiteral("Разказ и задача"),
             QStringLiteral("Легендата, трите правила и задачата; само за четене"));
    describe(form.Text1[1], QStringLiteral("Цитат"));

    describe(form.Label1[0], QStringLiteral("Заглавие"), form.Label1[0]->text());
    describe(form.Label1[1], QStringLiteral("Заглавие на списък X"));
    describe(form.Label1[2], QStringLiteral("Заглавие на списък Y"));
    // A heading's buddy is the list it names: screen readers read them together.
    form.Label1[1]->setBuddy(form.List1[0]);
    form.Label1[2]->setBuddy(form.List1[1]);

    describe(form.Picture1, QStringLiteral("Платно с долината"),
             QStringLiteral(
                 "Кръгла долина с дракон в средата. Щракнете с мишката върху платното, "
                 "за да поставите край на въже; всеки две поредни точки са едно въже, "
                 "а координатите им се добавят в списъците X и Y. Щом въжетата са "
                 "по две точки, бутонът „Рицар“ ги отсъжда и чертае всяко според "
                 "присъдата: плътна линия — успех; пунктир — твърде далеч от дракона; "
                 "точки — в огъня на дракона; тире и две точки — край в долината."));

    describe(form.List1[0], QStringLiteral("Списък X"),
             QStringLiteral("Координатите X на поставените точки, по реда на щракванията"));
    describe(form.List1[1], QStringLiteral("Списък Y"),
             QStringLiteral("Координатите Y на поставените точки, по реда на щракванията"));

    describe(form.Command1[0], form.Command1[0]->text(),
             QStringLiteral("Отсъжда всички въжета и ги начертава според присъдата"));
    describe(form.Command1[1], form.Command1[1]->text(),
             QStringLiteral("Премахва точката, избрана в списъците"));
    describe(form.Command1[2], form.Command1[2]->text(),
             QStringLiteral("Изчиства платното и двата списъка"));

    describe(form.Picture2, QStringLiteral("Илюстрация: дракон и рицар"),
             QStringLiteral("Сив крилат дракон и малък рицар с вдигнато оръжие; "
                            "скрива се при първото щракване върху платното извън нея"));
}
