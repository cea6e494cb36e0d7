#include "controls/RQTouchBarButton.h"

#include <QMouseEvent>
#include <QPainter>
#include <QTouchEvent>

RQTouchBarButton::RQTouchBarButton(std::unique_ptr<RQTouchBarButtonCell> cell, QWidget *parent)
    : QAbstractButton(parent), m_cell(std::move(cell))
{
    setAttribute(Qt::WA_AcceptTouchEvents);
}

qreal RQTouchBarButton::opacity() const
{
    return isEnabled() ? 1.0 : qreal(0.8f);
}

void RQTouchBarButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setOpacity(opacity());
    m_cell->draw(painter, QRectF(rect()), text(), icon(), palette());
}

void RQTouchBarButton::setPressed(bool pressed)
{
    m_cell->setMouseDown(pressed);
    update();
}

void RQTouchBarButton::mousePressEvent(QMouseEvent *event)
{
    if (!isEnabled() || event->button() != Qt::LeftButton)
        return;
    setPressed(true);
}

void RQTouchBarButton::mouseReleaseEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton)
        return;
    setPressed(false);
    if (isEnabled() && rect().contains(event->position().toPoint()))
        emit clicked();
}

bool RQTouchBarButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
        if (!isEnabled())
            return true;
        setPressed(true);
        return true;
    case QEvent::TouchUpdate:
        setPressed(false);
        return true;
    case QEvent::TouchEnd:
    case QEvent::TouchCancel:
        if (isEnabled())
            setPressed(false);
        return true;
    default:
        return QAbstractButton::event(event);
    }
}

void RQTouchBarButton::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::EnabledChange)
        update();
    QAbstractButton::changeEvent(event);
}
