#include "controls/VXDropButton.h"

#include "controls/RQDropView.h"

#include <QDragEnterEvent>
#include <QDropEvent>

VXDropButton::VXDropButton(QWidget *parent)
    : RQButton(parent)
{
    setAcceptDrops(true);
}

void VXDropButton::enterEvent(QEnterEvent *event)
{
    RQButton::enterEvent(event);
    setCursor(Qt::PointingHandCursor);
}

void VXDropButton::leaveEvent(QEvent *event)
{
    RQButton::leaveEvent(event);
    setCursor(Qt::ArrowCursor);
}

void VXDropButton::dragEnterEvent(QDragEnterEvent *event)
{
    const Qt::DropAction action = m_delegate ? m_delegate->draggingEntered(event->mimeData()) : Qt::IgnoreAction;
    setCursor(action == Qt::CopyAction ? Qt::DragCopyCursor : Qt::ArrowCursor);
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void VXDropButton::dragLeaveEvent(QDragLeaveEvent *event)
{
    setCursor(Qt::ArrowCursor);
    if (m_delegate)
        m_delegate->draggingEnded();
    event->accept();
}

void VXDropButton::dropEvent(QDropEvent *event)
{
    setCursor(Qt::ArrowCursor);
    if (!m_delegate || !m_delegate->performDragOperation(event->mimeData())) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_delegate->draggingEnded();
}
