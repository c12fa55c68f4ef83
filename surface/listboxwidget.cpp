#include "surface/listboxwidget.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QHeaderView>

#include <string_view>
#include <vector>

// The entries, as the table shows them: read-only text, one per row. The texts
// lie end to end in one buffer, each with its number read once as it comes in:
// redrawing or judging a full board reads every entry back, and clearing it
// frees two blocks rather than one string per entry.
class TextListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_entries.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
            return {};
        }
        return text(index.row());
    }

    Qt::ItemFlags flags(const QModelIndex &) const override
    {
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

    // Entry `row` as it was added, in UTF-8.
    std::string_view utf8(int row) const
    {
        const Entry &entry = m_entries.at(size_t(row));
        return std::string_view(m_texts).substr(entry.start, entry.length);
    }

    QString text(int row) const
    {
        const std::string_view bytes = utf8(row);
        return QString::fromUtf8(bytes.data(), qsizetype(bytes.size()));
    }

    int count() const { return int(m_entries.size()); }
    double number(int row) const { return m_entries[size_t(row)].number; }

    void append(const std::string &text)
    {
        const int row = int(m_entries.size());
        beginInsertRows({}, row, row);
        m_entries.push_back({m_texts.size(), text.size(), surface::ReadNumber(text)});
        m_texts += text;
        endInsertRows();
    }

    void removeAt(int row)
    {
        beginRemoveRows({}, row, row);
        const auto removed = m_entries.begin() + row;
        m_texts.erase(removed->start, removed->length);
        for (auto later = removed + 1; later != m_entries.end(); ++later) {
            later->start -= removed->length;
        }
        m_entries.erase(removed);
        endRemoveRows();
    }

    void clear()
    {
        beginResetModel();
        m_entries = {};
        m_texts = {};
        endResetModel();
    }

private:
    struct Entry
    {
        size_t start;
        size_t length;
        double number;
    };

    std::string m_texts;
    std::vector<Entry> m_entries;
};

ListBoxWidget::ListBoxWidget(QWidget *parent)
    : QTableView(parent)
    , m_model(new TextListModel(this))
{
    // Headers hidden before the model comes: a shown header measures its
    // sections in a bold font, loaded for nothing at start-up.
    horizontalHeader()->hide();
    verticalHeader()->hide();
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    fitRowHeight();

    // Raised by mouse and keyboard alike, and not when code selects the entry that
    // is already selected; Tab into the list raises nothing.
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
        if (!m_quiet) {
            Q_EMIT Click();
        }
    });
}

ListBoxWidget::~ListBoxWidget() = default;

void ListBoxWidget::fitRowHeight()
{
    // As high as a list row: the font's line spacing.
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(fontMetrics().lineSpacing());
}

void ListBoxWidget::changeEvent(QEvent *event)
{
    QTableView::changeEvent(event);
    if (event->type() == QEvent::FontChange) {
        fitRowHeight();
    }
}

QModelIndex ListBoxWidget::moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers)
{
    // Home and End go to the first and the last entry, as in a list; in a table
    // they would go along the row.
    if (action == MoveHome || action == MoveEnd) {
        modifiers |= Qt::ControlModifier;
    }
    return QTableView::moveCursor(action, modifiers);
}

void ListBoxWidget::AddItem(const std::string &text)
{
    m_model->append(text);
}

void ListBoxWidget::RemoveItem(int index)
{
    if (index < 0 || index >= m_model->rowCount()) {
        return;
    }
    // Qt moves the current mark and the selection to a neighbour of the removed
    // row; the entry is gone and nothing is to be selected.
    m_quiet = true;
    m_model->removeAt(index);
    selectionModel()->clear();
    m_quiet = false;
}

void ListBoxWidget::Clear()
{
    m_quiet = true;
    m_model->clear();
    selectionModel()->clear();
    m_quiet = false;
}

int ListBoxWidget::ListCount() const
{
    return m_model->rowCount();
}

QString ListBoxWidget::text(int row) const
{
    return row >= 0 && row < m_model->rowCount() ? m_model->text(row) : QString();
}

std::string ListBoxWidget::List(int index) const
{
    if (index < 0 || index >= m_model->rowCount()) {
        return {};
    }
    return std::string(m_model->utf8(index));
}

double ListBoxWidget::Number(int index) const
{
    if (index < 0 || index >= m_model->count()) {
        return 0.0;
    }
    return m_model->number(index);
}

int ListBoxWidget::ListIndex() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? -1 : selected.constFirst().row();
}

int ListBoxWidget::currentRow() const
{
    const QModelIndex current = currentIndex();
    return current.isValid() ? current.row() : -1;
}

void ListBoxWidget::SetListIndex(int index)
{
    if (index >= m_model->rowCount() || index == ListIndex()) {
        return;
    }
    if (index < 0) {
        selectionModel()->clear();
        return;
    }
    setCurrentIndex(m_model->index(index));
}

QRect ListBoxWidget::rowRect(int row)
{
    const QModelIndex index = m_model->index(row);
    scrollTo(index);
    return visualRect(index);
}
