#include "surface/listboxwidget.h"

#include <QAbstractListModel>
#include <QEvent>
#include <QHeaderView>

#include <vector>

// The entries, as the table shows them: read-only text, one per row.
class TextListModel : public QAbstractListModel
{
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : int(m_texts.size());
    }

    QVariant data(const QModelIndex &index, int role) const override
    {
        if (role != Qt::DisplayRole && role != Qt::AccessibleTextRole) {
            return {};
        }
        return m_texts.at(size_t(index.row()));
    }

    Qt::ItemFlags flags(const QModelIndex &) const override
    {
        return Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemNeverHasChildren;
    }

    const QString &text(int row) const { return m_texts.at(size_t(row)); }

    void append(const QString &text)
    {
        const int row = int(m_texts.size());
        beginInsertRows({}, row, row);
        m_texts.push_back(text);
        endInsertRows();
    }

    void removeAt(int row)
    {
        beginRemoveRows({}, row, row);
        m_texts.erase(m_texts.begin() + row);
        endRemoveRows();
    }

    void clear()
    {
        beginResetModel();
        m_texts.clear();
        endResetModel();
    }

private:
    std::vector<QString> m_texts;
};

ListBoxWidget::ListBoxWidget(QWidget *parent)
    : QTableView(parent)
    , m_model(new TextListModel(this))
{
    setModel(m_model);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setTabKeyNavigation(false);
    setShowGrid(false);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    horizontalHeader()->hide();
    horizontalHeader()->setStretchLastSection(true);
    verticalHeader()->hide();
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
    m_model->append(QString::fromStdString(text));
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
    // Entries are short numbers, read back by the thousand when the board is
    // redrawn or judged: plain ASCII is copied as it is, anything else goes
    // through UTF-8.
    const QString &text = m_model->text(index);
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
