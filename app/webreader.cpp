// The browser build's voice. Qt's WebAssembly platform gives screen readers next
// to nothing, so the reader of dist/web/index.html reads the window itself, fed
// here with what the desktop hands its screen readers.

#include "app/mainform.h"
#include "surface/pointlistview.h"

#include <QAbstractButton>
#include <QAccessible>

#include <emscripten/bind.h>
#include <emscripten/val.h>

using emscripten::val;

namespace {

std::vector<QWidget *> s_controls; // the tab order, as the reader numbers them

val reader() { return val::global("reader"); }

// Qt's accessibility events, where the desktop's screen readers get them.
void hear(QAccessibleEvent *event)
{
    const auto control = std::find(s_controls.begin(), s_controls.end(), event->object());
    const int index = int(control - s_controls.begin());
    if (event->type() == QAccessible::Announcement) {
        const auto *announcement = static_cast<QAccessibleAnnouncementEvent *>(event);
        reader().call<void>("say", announcement->message().toStdString(),
                            announcement->politeness() == QAccessible::AnnouncementPoliteness::Assertive);
    } else if (control == s_controls.end()) {
        return;
    } else if (event->type() == QAccessible::Focus) {
        reader().call<void>(event->child() < 0 ? "focus" : "current", index, event->child());
    } else {
        reader().call<void>("state", index, !(*control)->isEnabled(), !(*control)->isVisible());
    }
}

// The entries of a list from `first` on, as a screen reader hears them.
void showEntries(int index, int first)
{
    QAccessibleInterface *list = QAccessible::queryAccessibleInterface(s_controls[size_t(index)]);
    val names = val::array();
    for (int row = first; row < list->childCount(); ++row) {
        names.call<void>("push", list->child(row)->text(QAccessible::Name).toStdString());
    }
    reader().call<void>("entries", index, first, names);
}

// From the reader: the browser's focus came to a control, or a screen reader
// pressed it.
void touched(int index, bool pressed)
{
    if (auto *button = qobject_cast<QAbstractButton *>(s_controls[size_t(index)]); pressed && button) {
        button->click();
    } else if (!pressed) {
        s_controls[size_t(index)]->setFocus(Qt::OtherFocusReason);
    }
}

EMSCRIPTEN_BINDINGS(reader)
{
    emscripten::function("readerTouched", &touched);
}

} // namespace

void startWebReader(MainForm &form)
{
    // Roles that make a screen reader leave the keys to the page where the
    // desktop control takes them: a slider for the canvas, a list box.
    const std::map<QAccessible::Role, std::string> roles{{QAccessible::Canvas, "slider"},
        {QAccessible::List, "listbox"}, {QAccessible::Button, "button"}, {QAccessible::Graphic, "img"}};
    val controls = val::array();
    for (QWidget *widget = form.nextInFocusChain(); widget != &form; widget = widget->nextInFocusChain()) {
        if ((widget->focusPolicy() & Qt::TabFocus) == 0) {
            continue;
        }
        s_controls.push_back(widget);
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        val control = val::object();
        control.set("role", roles.count(iface->role()) ? roles.at(iface->role()) : "textbox");
        control.set("name", iface->text(QAccessible::Name).toStdString());
        control.set("description", iface->text(QAccessible::Description).toStdString());
        control.set("text", iface->textInterface() ? iface->textInterface()->text(0, -1).toStdString() : "");
        controls.call<void>("push", control);
    }
    reader().call<void>("start", controls, val::module_property("readerTouched"));
    for (int index = 0; index < int(s_controls.size()); ++index) {
        if (auto *list = qobject_cast<PointListView *>(s_controls[size_t(index)])) {
            const QAbstractItemModel *points = list->model();
            for (const auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
                QObject::connect(points, changed, list, [index](const QModelIndex &, int first) { showEntries(index, first); });
            }
            QObject::connect(points, &QAbstractItemModel::modelReset, list, [index] { showEntries(index, 0); });
        }
        QWidget *widget = s_controls[size_t(index)];
        QAccessibleEvent event(widget, widget->hasFocus() ? QAccessible::Focus : QAccessible::ObjectShow);
        hear(&event);
    }
    QAccessible::installUpdateHandler(hear);
}
