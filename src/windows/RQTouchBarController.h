#pragma once

#include "platform/gui/CustomTouchBarItem.h"
#include "platform/gui/TouchBar.h"

#include <QList>
#include <QPointer>

#include <optional>

class QWidget;

// The process's one touch bar item, whose view follows what the user is doing: screens push
// the view they want shown, the main window replaces the whole stack when it starts over and
// the folder drop target hides the item around its open panel. Without a touch bar (always,
// on Linux) nothing is shown and the stack stays as it is. Main thread only, except
// sharedController, which any thread may call.
class RQTouchBarController final
{
    Q_DISABLE_COPY_MOVE(RQTouchBarController)

public:
    static const QString itemIdentifier;
    static const QString customizationLabel;

    static RQTouchBarController &sharedController();

    // The application's bar; not owned. Offers the one item, followed by the system's items.
    void setTouchBar(TouchBar *touchBar);
    TouchBar *touchBar() const { return m_touchBar; }
    bool touchBarIsAvailable() const;

    void pushTouchBarView(QWidget *view);
    // Removes the top item and shows the next; the last item always stays.
    void pop();
    void popToRootView();
    // Replaces the stack with one item per view and shows the last; with no views, empties
    // the stack and shows an empty item.
    void setTouchBarViews(const QList<QWidget *> &views);
    // Hiding shows an empty item and keeps the stack; showing again shows the top item.
    void setHidden(bool hidden);
    bool hidden() const { return m_hidden; }

    void setCurrentTouchBarItem(const std::optional<CustomTouchBarItem> &item);
    static CustomTouchBarItem touchBarItemWithView(QWidget *view);

    // Bottom first.
    QList<CustomTouchBarItem> stackArray() const { return m_stackArray; }

private:
    RQTouchBarController() = default;
    void showTopItem();

    QList<CustomTouchBarItem> m_stackArray;
    QPointer<TouchBar> m_touchBar;
    bool m_hidden = false;
};
