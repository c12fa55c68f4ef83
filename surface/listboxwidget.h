#pragma once

#include "surface/operations.h"

#include <QTableView>

class TextListModel;

// A single-selection, unsorted list of texts, one per row. Click() is raised when
// the user selects an entry, by mouse or keyboard, and when code selects a
// different entry; never for the entry already selected, and never by removal
// or clearing, which leave nothing selected.
//
// It is a one-column table rather than a QListWidget: a list view lays out every
// row again whenever one is added, so a press on a board with 100,000 points
// would cost a hundred times one on an empty board; a table with rows of one
// fixed height adds a row in constant time.
class ListBoxWidget : public QTableView, public surface::ListBox
{
    Q_OBJECT

public:
    explicit ListBoxWidget(QWidget *parent = nullptr);
    ~ListBoxWidget() override;

    void AddItem(const std::string &text) override;
    void RemoveItem(int index) override;
    void Clear() override;
    int ListCount() const override;
    std::string List(int index) const override;
    double Number(int index) const override;
    void Numbers(std::vector<double> &numbers) const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;

    // The same, in Qt's terms, for the window and its tests.
    int count() const { return ListCount(); }
    QString text(int row) const;
    // The row that has the keyboard's current mark, -1 when none.
    int currentRow() const;
    // Row `row`'s rectangle in the viewport's coordinates; scrolls it into view first.
    QRect rowRect(int row);

Q_SIGNALS:
    void Click();

protected:
    void changeEvent(QEvent *event) override;
    QModelIndex moveCursor(CursorAction action, Qt::KeyboardModifiers modifiers) override;

private:
    void fitRowHeight();

    TextListModel *m_model = nullptr;
    // Set while the program itself removes or clears entries: the selection
    // changes Qt makes on the way are not the user's.
    bool m_quiet = false;
};
