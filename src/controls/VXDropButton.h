#pragma once

#include "controls/RQButton.h"

#include <QPointer>

class RQDropView;

// A button that takes folder drags itself and hands them to a drop target, showing the copy
// cursor while the target would take the drag and the pointing hand while hovered.
class VXDropButton final : public RQButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VXDropButton)

public:
    explicit VXDropButton(QWidget *parent = nullptr);

    // Not owned; without one every drag is refused.
    RQDropView *delegate() const { return m_delegate; }
    void setDelegate(RQDropView *delegate) { m_delegate = delegate; }

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;
    void dragEnterEvent(QDragEnterEvent *event) override;
    void dragLeaveEvent(QDragLeaveEvent *event) override;
    void dropEvent(QDropEvent *event) override;

private:
    QPointer<RQDropView> m_delegate;
};
