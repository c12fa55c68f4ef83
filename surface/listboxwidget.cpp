#include "surface/listboxwidget.h"

#include <QSignalBlocker>

ListBoxWidget::ListBoxWidget(QWidget *parent)
    : QListWidget(parent)
{
    setSelectionMode(QAbstractItemView::SingleSelection);
    setUniformItemSizes(true);
    setSortingEnabled(false);
    // Raised by mouse and keyboard alike, and not when code selects the entry that
    // is already selected; Tab into the list raises nothing.
    connect(this, &QListWidget::itemSelectionChanged, this, &ListBoxWidget::Click);
}

void ListBoxWidget::AddItem(const std::string &text)
{
    addItem(QString::fromStdString(text));
}

void ListBoxWidget::RemoveItem(int index)
{
    if (index < 0 || index >= count()) {
        return;
    }
    // Qt moves the current row and the selection to a neighbour while it takes the
    // item, with stale signals on the way; none of that may reach the game.
    const QSignalBlocker blocker(this);
    delete takeItem(index);
    setCurrentRow(-1);
}

void ListBoxWidget::Clear()
{
    const QSignalBlocker blocker(this);
    clear();
}

int ListBoxWidget::ListCount() const
{
    return count();
}

std::string ListBoxWidget::List(int index) const
{
    const QListWidgetItem *entry = item(index);
    if (!entry) {
        return {};
    }
    // Entries are mostly short numbers, read back by the thousand when the board is
    // redrawn or judged: plain ASCII is copied as it is, anything else goes through
    // UTF-8.
    const QString text = entry->text();
    std::string result(size_t(text.size()), '\0');
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text.at(i).unicode();
        if (unit >= 0x80) {
            return text.toStdString();
        }
        result[size_t(i)] = char(unit);
    }
    return result;
}

int ListBoxWidget::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

void ListBoxWidget::SetListIndex(int index)
{
    if (index >= count() || index == ListIndex()) {
        return;
    }
    setCurrentRow(index < 0 ? -1 : index);
}
