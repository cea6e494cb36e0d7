#pragma once

#include "controls/VXView.h"

#include <QPointer>

// A view that knows the controller that manages it; not owned. Events do not pass through
// controllers in Qt, so holding it is all there is to do.
class VXResponderView final : public VXView
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VXResponderView)

public:
    explicit VXResponderView(QWidget *parent = nullptr);

    QObject *viewController() const { return m_viewController; }
    void setViewController(QObject *controller);

private:
    QPointer<QObject> m_viewController;
};
