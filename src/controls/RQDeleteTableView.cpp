#include "controls/RQDeleteTableView.h"

#include "controls/RQDeleteTableViewDelegate.h"

#include <QKeyEvent>

namespace {

// The table's own handling accepts the action the source proposed, which may be a move; the
// copy is set before it looks (so the model judges a copy) and again after.
template <typename Event, typename Handler>
void asCopy(Event *event, Handler handle)
{
    const bool canCopy = event->possibleActions().testFlag(Qt::CopyAction);
    if (canCopy)
        event->setDropAction(Qt::CopyAction);
    handle(event);
    if (canCopy && event->isAccepted())
        event->setDropAction(Qt::CopyAction);
}

} // namespace

RQDeleteTableView::RQDeleteTableView(QWidget *parent)
    : QTableView(parent)
{
}

void RQDeleteTableView::keyPressEvent(QKeyEvent *event)
{
    if (event->key() != Qt::Key_Backspace && event->key() != Qt::Key_Delete) {
        QTableView::keyPressEvent(event);
        return;
    }
    if (m_deleteDelegate)
        m_deleteDelegate->tableViewDeleteFromKeyboard(*this);
    event->accept();
}

void RQDeleteTableView::dragEnterEvent(QDragEnterEvent *event)
{
    asCopy(event, [this](QDragEnterEvent *copy) { QTableView::dragEnterEvent(copy); });
}

void RQDeleteTableView::dragMoveEvent(QDragMoveEvent *event)
{
    asCopy(event, [this](QDragMoveEvent *copy) { QTableView::dragMoveEvent(copy); });
}

void RQDeleteTableView::dropEvent(QDropEvent *event)
{
    asCopy(event, [this](QDropEvent *copy) { QTableView::dropEvent(copy); });
}
