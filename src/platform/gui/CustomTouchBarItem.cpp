#include "platform/gui/CustomTouchBarItem.h"

CustomTouchBarItem::CustomTouchBarItem(QString identifier, QWidget *view, QString customizationLabel)
    : m_identifier(std::move(identifier)), m_view(view),
      m_customizationLabel(std::move(customizationLabel))
{
}
