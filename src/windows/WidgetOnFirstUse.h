#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

// A controller's widget, made on first use. It belongs to the controller until it is placed
// in a parent, and to the parent from then on.
class WidgetOnFirstUse final
{
    Q_DISABLE_COPY_MOVE(WidgetOnFirstUse)

public:
    WidgetOnFirstUse() = default;
    ~WidgetOnFirstUse();

    // The first call makes the widget and, when one is made, hands it to loaded; make may
    // answer null, and is not asked again.
    QWidget *get(const std::function<QWidget *()> &make,
                 const std::function<void(QWidget &)> &loaded);
    bool isLoaded() const { return m_loaded; }

private:
    QPointer<QWidget> m_widget;
    bool m_loaded = false;
};
