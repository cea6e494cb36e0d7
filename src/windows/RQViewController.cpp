#include "windows/RQViewController.h"

#include "windows/RQTouchBarController.h"

RQViewController::RQViewController(QObject *parent) : QObject(parent) {}

QWidget *RQViewController::view()
{
    return m_view.get([this] { return loadView(); }, [this](QWidget &) { viewDidLoad(); });
}

void RQViewController::setTouchBarView(QWidget *view)
{
    m_touchBarView = view;
}

void RQViewController::rq_viewWillAppear() {}

void RQViewController::rq_viewDidAppear()
{
    addTouchBarIfNeeded();
}

void RQViewController::rq_viewWillDisappear() {}

void RQViewController::rq_viewDidDisappear() {}

void RQViewController::addTouchBarIfNeeded()
{
    if (m_touchBarView)
        RQTouchBarController::sharedController().pushTouchBarView(m_touchBarView);
}

QWidget *RQViewController::loadView()
{
    return nullptr;
}

void RQViewController::viewDidLoad() {}
