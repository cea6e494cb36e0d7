#include "platform/gui/TouchBar.h"

namespace {

bool &availability()
{
    static bool available = false;
    return available;
}

} // namespace

const QString TouchBar::otherItemsProxyIdentifier = QStringLiteral("touchbar.other-items-proxy");

TouchBar::TouchBar(QObject *parent) : QObject(parent) {}

bool TouchBar::isAvailable()
{
    return availability();
}

void TouchBar::setAvailable(bool available)
{
    availability() = available;
}

void TouchBar::setDefaultItemIdentifiers(const QStringList &identifiers)
{
    m_defaultItemIdentifiers = identifiers;
}

void TouchBar::setCustomizationAllowedItemIdentifiers(const QStringList &identifiers)
{
    m_customizationAllowedItemIdentifiers = identifiers;
}

void TouchBar::setTemplateItems(const QList<CustomTouchBarItem> &items)
{
    m_templateItems = items;
    emit templateItemsChanged();
}
