#include "controls/VXResponderView.h"

VXResponderView::VXResponderView(QWidget *parent) : VXView(parent) {}

void VXResponderView::setViewController(QObject *controller)
{
    m_viewController = controller;
}
