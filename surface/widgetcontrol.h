#pragma once

#include "game/operations.h"

#include <QPointer>
#include <QWidget>

// Lets the game enable or hide one widget.
class WidgetControl : public game::Control
{
public:
    explicit WidgetControl(QWidget *widget)
        : m_widget(widget)
    {
    }

    void SetEnabled(bool enabled) override { m_widget->setEnabled(enabled); }
    void SetVisible(bool visible) override { m_widget->setVisible(visible); }

private:
    QPointer<QWidget> m_widget;
};
