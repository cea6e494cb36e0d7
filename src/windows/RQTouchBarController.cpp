#include "windows/RQTouchBarController.h"

const QString RQTouchBarController::itemIdentifier =
    QStringLiteral("com.rovaquin.touchbar.progressview");
const QString RQTouchBarController::customizationLabel = QStringLiteral("Kelmora");

RQTouchBarController &RQTouchBarController::sharedController()
{
    static RQTouchBarController controller;
    return controller;
}

void RQTouchBarController::setTouchBar(TouchBar *touchBar)
{
    m_touchBar = touchBar;
    if (!touchBar)
        return;
    touchBar->setDefaultItemIdentifiers({itemIdentifier, TouchBar::otherItemsProxyIdentifier});
    touchBar->setCustomizationAllowedItemIdentifiers({itemIdentifier});
}

bool RQTouchBarController::touchBarIsAvailable() const
{
    return TouchBar::isAvailable() && m_touchBar;
}

void RQTouchBarController::pushTouchBarView(QWidget *view)
{
    if (!touchBarIsAvailable())
        return;
    m_stackArray.append(touchBarItemWithView(view));
    showTopItem();
}

void RQTouchBarController::pop()
{
    if (!touchBarIsAvailable() || m_stackArray.size() <= 1)
        return;
    m_stackArray.removeLast();
    showTopItem();
}

void RQTouchBarController::popToRootView()
{
    if (!touchBarIsAvailable() || m_stackArray.isEmpty())
        return;
    m_stackArray.remove(1, m_stackArray.size() - 1);
    showTopItem();
}

void RQTouchBarController::setTouchBarViews(const QList<QWidget *> &views)
{
    if (!touchBarIsAvailable())
        return;
    m_stackArray.clear();
    for (QWidget *view : views)
        m_stackArray.append(touchBarItemWithView(view));
    if (m_stackArray.isEmpty())
        setCurrentTouchBarItem(touchBarItemWithView(nullptr));
    else
        showTopItem();
}

void RQTouchBarController::setHidden(bool hidden)
{
    m_hidden = hidden;
    if (hidden)
        setCurrentTouchBarItem(touchBarItemWithView(nullptr));
    else
        showTopItem();
}

void RQTouchBarController::setCurrentTouchBarItem(const std::optional<CustomTouchBarItem> &item)
{
    if (!m_touchBar)
        return;
    m_touchBar->setTemplateItems(item ? QList<CustomTouchBarItem>{*item} : QList<CustomTouchBarItem>{});
}

CustomTouchBarItem RQTouchBarController::touchBarItemWithView(QWidget *view)
{
    return {itemIdentifier, view, customizationLabel};
}

// An empty stack shows no item at all rather than reading past its end.
void RQTouchBarController::showTopItem()
{
    setCurrentTouchBarItem(m_stackArray.isEmpty() ? std::nullopt
                                                  : std::optional(m_stackArray.constLast()));
}
