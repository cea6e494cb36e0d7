#pragma once

#include "platform/gui/CustomTouchBarItem.h"

#include <QList>
#include <QObject>
#include <QStringList>

// The model of a touch bar: which items it offers and which it shows. Linux has no touch bar,
// so the capability is off and nothing is ever shown; tests switch it on to follow what the
// application would show. Main thread only.
class TouchBar final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(TouchBar)

public:
    // The identifier that stands for the system's own items after the application's.
    static const QString otherItemsProxyIdentifier;

    explicit TouchBar(QObject *parent = nullptr);

    // Whether the system can show a touch bar at all.
    static bool isAvailable();
    static void setAvailable(bool available);

    QStringList defaultItemIdentifiers() const { return m_defaultItemIdentifiers; }
    void setDefaultItemIdentifiers(const QStringList &identifiers);
    QStringList customizationAllowedItemIdentifiers() const
    {
        return m_customizationAllowedItemIdentifiers;
    }
    void setCustomizationAllowedItemIdentifiers(const QStringList &identifiers);

    // The items the bar shows in place of the identifiers that name them.
    QList<CustomTouchBarItem> templateItems() const { return m_templateItems; }
    void setTemplateItems(const QList<CustomTouchBarItem> &items);

signals:
    void templateItemsChanged();

private:
    QStringList m_defaultItemIdentifiers;
    QStringList m_customizationAllowedItemIdentifiers;
    QList<CustomTouchBarItem> m_templateItems;
};
