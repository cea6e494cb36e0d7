#include "windows/WidgetOnFirstUse.h"

WidgetOnFirstUse::~WidgetOnFirstUse()
{
    if (QWidget *unplaced = m_widget.data(); unplaced && !unplaced->parentWidget())
        delete unplaced;
}

QWidget *WidgetOnFirstUse::get(const std::function<QWidget *()> &make,
                               const std::function<void(QWidget &)> &loaded)
{
    if (!m_loaded) {
        m_loaded = true;
        m_widget = make();
        if (m_widget)
            loaded(*m_widget);
    }
    return m_widget;
}
