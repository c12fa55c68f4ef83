#include "app/accessibility.h"

#include "app/accessibleleaf.h"
#include "app/canvasspeech.h"
#include "app/mainform.h"
#include "surface/canvaswidget.h"
#include "surface/facebutton.h"
#include "surface/pointlistview.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPointer>

#include <vector>

namespace {

// An entry of a list of points: the point's number and its coordinate in that
// list, as the model words it for screen readers.
class PointEntryAccessible : public AccessibleLeaf
{
public:
    PointEntryAccessible(PointListView *list, int row)
        : AccessibleLeaf(list)
        , m_list(list)
        , m_row(row)
    {
    }

    bool isValid() const override { return m_list && m_row < m_list->model()->rowCount(); }
    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name && isValid() ? index().data(Qt::AccessibleTextRole).toString()
                                                   : QString();
    }
    QRect rect() const override
    {
        if (!isValid()) {
            return {};
        }
        const QRect entry = m_list->visualRect(index());
        return QRect(m_list->viewport()->mapToGlobal(entry.topLeft()), entry.size());
    }
    QAccessible::Role role() const override { return QAccessible::ListItem; }
    QAccessible::State state() const override
    {
        QAccessible::State state;
        if (!isValid()) {
            state.invalid = true;
            return state;
        }
        state.selectable = true;
        state.focusable = true;
        state.selected = m_list->selectionModel()->isRowSelected(m_row);
        state.focused = m_list->hasFocus() && m_list->currentIndex().row() == m_row;
        state.invisible = !m_list->viewport()->rect().intersects(m_list->visualRect(index()));
        return state;
    }

private:
    QModelIndex index() const { return m_list->model()->index(m_row, m_list->modelColumn()); }

    QPointer<PointListView> m_list;
    int m_row;
};

// A list of points as a list of its entries, one per point, rather than the
// table of every column of the points that Qt would make of it.
class PointListAccessible : public QAccessibleWidget
{
public:
    explicit PointListAccessible(PointListView *list)
        : QAccessibleWidget(list, QAccessible::List)
    {
    }
    ~PointListAccessible() override
    {
        for (QAccessible::Id id : m_entries) {
            if (id != 0) {
                QAccessible::deleteAccessibleInterface(id);
            }
        }
    }

    int childCount() const override { return list()->model()->rowCount(); }
    QAccessibleInterface *child(int index) const override
    {
        if (index < 0 || index >= childCount()) {
            return nullptr;
        }
        if (size_t(index) >= m_entries.size()) {
            m_entries.resize(size_t(index) + 1, 0);
        }
        // An entry is known by its place: it stays valid while the list has that many.
        QAccessible::Id &id = m_entries[size_t(index)];
        if (id == 0) {
            id = registerLeaf<PointEntryAccessible>(list(), index);
        }
        return QAccessible::accessibleInterface(id);
    }
    int indexOfChild(const QAccessibleInterface *child) const override
    {
        for (size_t i = 0; i < m_entries.size(); ++i) {
            if (m_entries[i] != 0 && QAccessible::accessibleInterface(m_entries[i]) == child) {
                return int(i) < childCount() ? int(i) : -1;
            }
        }
        return -1;
    }
    QAccessibleInterface *childAt(int x, int y) const override
    {
        const QModelIndex index = list()->indexAt(list()->viewport()->mapFromGlobal(QPoint(x, y)));
        return index.isValid() ? child(index.row()) : nullptr;
    }
    QAccessibleInterface *focusChild() const override
    {
        const QModelIndex current = list()->currentIndex();
        return list()->hasFocus() && current.isValid() ? child(current.row()) : nullptr;
    }

private:
    PointListView *list() const { return static_cast<PointListView *>(widget()); }

    mutable std::vector<QAccessible::Id> m_entries;
};

// Qt takes a plain QWidget for a client area and a QFrame for a border; screen
// readers are to hear a window (a frame), a canvas with what it says, and lists.
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
        return CanvasSpeech::canvasInterface(static_cast<CanvasWidget *>(widget));
    }
    if (className == QLatin1String("PointListView")) {
        return new PointListAccessible(static_cast<PointListView *>(widget));
    }
    return nullptr;
}

// How many points are left, as a sentence ends: "остават 5 точки".
QString pointsLeft(int count)
{
    if (count == 0) {
        return QStringLiteral("не остават точки");
    }
    return count == 1 ? QStringLiteral("остава 1 точка") : QStringLiteral("остават %1 точки").arg(count);
}

// A coordinate as Bulgarian speech reads a number: with a decimal comma.
QString spoken(const QString &number)
{
    return QString(number).replace(u'.', u',');
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
             QStringLiteral("Приказна геометрия за ученици: задача за хорди на окръжност, "
                            "разказана като легендата за рицаря и огнения дракон"));

    describe(form.Text1[0], QStringLiteral("Разказ и задача"),
             QStringLiteral("Легендата, трите правила и задачата; само за четене"));
    describe(form.Text1[1], QStringLiteral("Цитат"));

    describe(form.Label1[0], form.Label1[0]->text());
    // A screen reader names a list by the label that labels it: each heading
    // says the list's name.
    describe(form.Label1[1], QStringLiteral("Списък X"), QStringLiteral("Заглавие на списък X"));
    describe(form.Label1[2], QStringLiteral("Списък Y"), QStringLiteral("Заглавие на списък Y"));
    // A heading's buddy is the list it names: screen readers read them together.
    form.Label1[1]->setBuddy(form.List1[0]);
    form.Label1[2]->setBuddy(form.List1[1]);

    describe(form.Picture1, QStringLiteral("Платно с долината"),
             QStringLiteral(
                 "Кръгла долина с дракон в средата. Щракнете с мишката върху платното, "
                 "за да поставите край на въже, или със стрелките преместете кръстчето "
                 "(с Shift по десет точки, Home го връща в средата) и натиснете Enter или "
                 "интервал. Точки 1 и 2 са въже 1, точки 3 и 4 са въже 2 и така нататък; "
                 "координатите им се добавят в списъците X и Y. Бутонът „Рицар“ преценява "
                 "въжетата и чертае всяко според присъдата: плътна линия — успех; "
                 "пунктир — твърде далеч от дракона; точки — в огъня на дракона; "
                 "тире и две точки — край на въжето е в долината или на ръба ѝ."));

    describe(form.List1[0], QStringLiteral("Списък X"),
             QStringLiteral("Координатите X на поставените точки, по реда на поставянето"));
    describe(form.List1[1], QStringLiteral("Списък Y"),
             QStringLiteral("Координатите Y на поставените точки, по реда на поставянето"));

    describe(form.Command1[0], form.Command1[0]->text(),
             QStringLiteral("Преценява всички въжета и ги начертава според присъдата"));
    describe(form.Command1[1], form.Command1[1]->text(),
             QStringLiteral("Премахва точката, избрана в списъците"));
    describe(form.Command1[2], form.Command1[2]->text(),
             QStringLiteral("Изчиства платното и двата списъка"));

    describe(form.Picture2, QStringLiteral("Илюстрация: дракон и рицар"),
             QStringLiteral("Сив крилат дракон и малък рицар с вдигнат меч; илюстрацията "
                            "изчезва при първото щракване върху платното извън нея"));

    // What a key on the canvas did, spoken while the canvas has the focus.
    auto *speech = new CanvasSpeech(form.Picture1);
    QObject::connect(form.Picture1, &CanvasWidget::KeyboardCursorMoved, speech,
                     [speech](float x, float y) {
                         speech->say(QStringLiteral("X %1, Y %2").arg(qRound(x)).arg(qRound(y)));
                     });
    const QAbstractItemModel *points = form.List1[0]->model();
    QObject::connect(points, &QAbstractItemModel::rowsInserted, speech,
                     [speech, points](const QModelIndex &, int, int last) {
                         speech->say(QStringLiteral("Точка %1: X %2, Y %3")
                                         .arg(last + 1)
                                         .arg(spoken(points->index(last, 0).data().toString()),
                                              spoken(points->index(last, 1).data().toString())));
                     });
    // A removal and clear all are heard wherever the focus is: the button that
    // did them has it, or nothing of the window does after a click.
    QObject::connect(points, &QAbstractItemModel::rowsRemoved, speech,
                     [speech, points](const QModelIndex &, int first, int) {
                         speech->announce(QStringLiteral("Точка %1 е премахната, %2")
                                              .arg(first + 1)
                                              .arg(pointsLeft(points->rowCount())));
                     });
    QObject::connect(points, &QAbstractItemModel::modelReset, speech, [speech] {
        speech->announce(QStringLiteral("Платното и списъците са изчистени"));
    });
}
