// The browser build's voice. Qt's WebAssembly platform gives screen readers next
// to nothing (bare elements, only after a hidden English button is pressed; no
// focus, no announcements), so the page reads the window itself: the reader of
// dist/web/index.html keeps an element for each control of the tab order, named
// as on the desktop, and live regions. This feeds it with what the desktop hands
// its screen readers: where the focus is, the lists' entries, and every
// announcement.

#include "app/mainform.h"
#include "surface/pointlistview.h"

#include <QAccessible>
#include <QPushButton>

#include <emscripten/bind.h>
#include <emscripten/val.h>

using emscripten::val;

namespace {

std::vector<QWidget *> s_controls; // in the tab order, as the reader numbers them

val reader()
{
    return val::global("reader");
}

void hear(QAccessibleEvent *event)
{
    const auto control = std::find(s_controls.begin(), s_controls.end(), event->object());
    const int index = int(control - s_controls.begin());
    if (event->type() == QAccessible::Announcement) {
        const auto *announcement = static_cast<QAccessibleAnnouncementEvent *>(event);
        reader().call<void>("say", announcement->message().toStdString(),
                            announcement->politeness() == QAccessible::AnnouncementPoliteness::Assertive);
    } else if (control != s_controls.end() && event->type() == QAccessible::Focus) {
        reader().call<void>("focus", index);
    } else if (control != s_controls.end()) {
        reader().call<void>("state", index, !(*control)->isEnabled(), !(*control)->isVisible());
    }
}

// From the reader: the browser's focus came to a control, or a screen reader
// pressed it.
void focused(int index)
{
    s_controls[size_t(index)]->setFocus(Qt::OtherFocusReason);
}

void pressed(int index)
{
    if (auto *button = qobject_cast<QPushButton *>(s_controls[size_t(index)])) {
        button->click();
    }
}

EMSCRIPTEN_BINDINGS(reader)
{
    emscripten::function("readerFocused", &focused);
    emscripten::function("readerPressed", &pressed);
}

// A list's entries as a screen reader hears them, from `first` on, and which is
// the current one.
void followList(int index, PointListView *list)
{
    const auto entries = [index, list](int first) {
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(list);
        val names = val::array();
        for (int row = first; row < iface->childCount(); ++row) {
            names.call<void>("push", iface->child(row)->text(QAccessible::Name).toStdString());
        }
        reader().call<void>("entries", index, first, names);
    };
    const QAbstractItemModel *points = list->model();
    for (const auto changed : {&QAbstractItemModel::rowsInserted, &QAbstractItemModel::rowsRemoved}) {
        QObject::connect(points, changed, list, [entries](const QModelIndex &, int first) { entries(first); });
    }
    QObject::connect(points, &QAbstractItemModel::modelReset, list, [entries] { entries(0); });
    const auto current = [index, list] {
        const int row = list->currentIndex().row();
        reader().call<void>("current", index, row, list->selectionModel()->isRowSelected(row));
    };
    QObject::connect(list->selectionModel(), &QItemSelectionModel::currentChanged, list, current);
    QObject::connect(list->selectionModel(), &QItemSelectionModel::selectionChanged, list, current);
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
        QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
        if ((widget->focusPolicy() & Qt::TabFocus) == 0) {
            continue;
        }
        val control = val::object();
        control.set("role", roles.count(iface->role()) ? roles.at(iface->role()) : "textbox");
        control.set("name", iface->text(QAccessible::Name).toStdString());
        control.set("description", iface->text(QAccessible::Description).toStdString());
        control.set("text", iface->textInterface() ? iface->textInterface()->text(0, -1).toStdString() : "");
        controls.call<void>("push", control);
        s_controls.push_back(widget);
    }
    reader().call<void>("start", controls, val::module_property("readerFocused"), val::module_property("readerPressed"));
    QAccessible::installUpdateHandler(hear);
    for (size_t index = 0; index < s_controls.size(); ++index) {
        QWidget *widget = s_controls[index];
        if (auto *list = qobject_cast<PointListView *>(widget)) {
            followList(int(index), list);
        }
        QAccessibleEvent event(widget, widget->hasFocus() ? QAccessible::Focus : QAccessible::ObjectShow);
        hear(&event);
    }
}
