#include "surface/listboxwidget.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QEvent>
#include <QHeaderView>
#include <QPainter>
#include <QTextLayout>
#include <QStyledItemDelegate>

#include <algorithm>
#include <memory>
#include <string_view>
#include <unordered_map>
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

    double number(int row) const { return m_entries[size_t(row)].number; }

    void numbers(std::vector<double> &into) const
    {
        into.resize(m_entries.size());
        std::transform(m_entries.begin(), m_entries.end(), into.begin(),
                       [](const Entry &entry) { return entry.number; });
    }

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

// Draws each row as the style's own item delegate does, but keeps the laid-out
// text of the entries it has drawn: a list repaints all its visible rows after
// every press, removal or selection, and laying out and shaping the same few
// numbers again each time was most of that repaint. An entry too wide for its
// row is left to the style, which elides it.
class EntryDelegate : public QStyledItemDelegate
{
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter *painter, const QStyleOptionViewItem &option,
               const QModelIndex &index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QWidget *widget = item.widget;
        QStyle *style = widget ? widget->style() : QApplication::style();
        const QTextLayout *text = laidOut(item);
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
        const QRect textRect = style->subElementRect(QStyle::SE_ItemViewItemText, &item, widget)
                                   .adjusted(margin, 0, -margin, 0);
        if (!text || text->lineAt(0).naturalTextWidth() > textRect.width()
            || item.displayAlignment != (Qt::AlignLeft | Qt::AlignVCenter)
            || item.direction != Qt::LeftToRight) {
            style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);
            return;
        }

        // Background and selection from the style, then the text in the colour
        // and at the place the style would give it, then the focus mark, which
        // some styles lay over the text as a tint.
        const bool focus = item.state & QStyle::State_HasFocus;
        const QPalette::ColorGroup enabledGroup =
            (item.state & QStyle::State_Enabled) ? QPalette::Normal : QPalette::Disabled;
        QPalette::ColorGroup group = enabledGroup;
        if (group == QPalette::Normal && !(item.state & QStyle::State_Active)) {
            group = QPalette::Inactive;
        }
        const bool selected = item.state & QStyle::State_Selected;
        const QColor color =
            item.palette.color(group, selected ? QPalette::HighlightedText : QPalette::Text);
        QStyleOptionFocusRect focusMark;
        if (focus) {
            focusMark.QStyleOption::operator=(item);
            focusMark.rect = style->subElementRect(QStyle::SE_ItemViewItemFocusRect, &item, widget);
            focusMark.state |= QStyle::State_KeyboardFocusChange | QStyle::State_Item;
            focusMark.backgroundColor =
                item.palette.color(enabledGroup, selected ? QPalette::Highlight : QPalette::Window);
        }
        item.text.clear();
        item.state &= ~QStyle::State_HasFocus;
        style->drawControl(QStyle::CE_ItemViewItem, &item, painter, widget);

        painter->save();
        painter->setClipRect(option.rect, Qt::IntersectClip);
        painter->setPen(color);
        const qreal top = textRect.y() + (textRect.height() - text->lineAt(0).height()) / 2;
        text->draw(painter, QPointF(textRect.x(), top));
        if (focus) {
            style->drawPrimitive(QStyle::PE_FrameFocusRect, &focusMark, painter, widget);
        }
        painter->restore();
    }

private:
    // The entry's text laid out in the row's font as one line, from the cache;
    // null for an empty entry or one of several lines.
    const QTextLayout *laidOut(const QStyleOptionViewItem &item) const
    {
        if (item.text.isEmpty() || item.text.contains(QChar::LineSeparator)
            || item.text.contains(QLatin1Char('\n'))) {
            return nullptr;
        }
        if (item.font != m_font) {
            m_texts.clear();
            m_font = item.font;
        }
        auto found = m_texts.find(item.text);
        if (found == m_texts.end()) {
            // The rows in view and those just scrolled past are what repaints
            // ask for; past that many, start again rather than grow.
            constexpr size_t MostTexts = 256;
            if (m_texts.size() >= MostTexts) {
                m_texts.clear();
            }
            auto layout = std::make_unique<QTextLayout>(item.text, item.font);
            QTextOption option;
            option.setWrapMode(QTextOption::ManualWrap);
            option.setTextDirection(Qt::LeftToRight);
            option.setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
            layout->setTextOption(option);
            layout->setCacheEnabled(true);
            layout->beginLayout();
            QTextLine line = layout->createLine();
            // Wide enough for any entry: one line, never wrapped.
            constexpr qreal AnyWidth = 1e6;
            line.setLineWidth(AnyWidth);
            line.setPosition(QPointF(0, 0));
            layout->endLayout();
            found = m_texts.emplace(item.text, std::move(layout)).first;
        }
        return found->second.get();
    }

    mutable QFont m_font;
    mutable std::unordered_map<QString, std::unique_ptr<QTextLayout>> m_texts;
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
    setItemDelegate(new EntryDelegate(this));
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
    if (index < 0 || index >= m_model->rowCount()) {
        return 0.0;
    }
    return m_model->number(index);
}

void ListBoxWidget::Numbers(std::vector<double> &numbers) const
{
    m_model->numbers(numbers);
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
