#pragma once

#include "surface/operations.h"

#include <QListWidget>

// A single-selection, unsorted list of texts. Click() is raised when the user
// selects an entry, by mouse or keyboard, and when code selects a different
// entry; never for the entry already selected, and never by removal or
// clearing, which leave nothing selected.
class ListBoxWidget : public QListWidget, public surface::ListBox
{
    Q_OBJECT

public:
    explicit ListBoxWidget(QWidget *parent = nullptr);

    void AddItem(const std::string &text) override;
    void RemoveItem(int index) override;
    void Clear() override;
    int ListCount() const override;
    std::string List(int index) const override;
    int ListIndex() const override;
    void SetListIndex(int index) override;

Q_SIGNALS:
    void Click();
};
