#pragma once

#include "controls/RQTouchBarButtonCell.h"

#include <QAbstractButton>

#include <memory>

// A flat touch bar button drawn by its cell. Pressing (mouse or touch) turns the cell's
// pressed look on; moving a touch or releasing turns it off; a release inside the button sends
// clicked. A disabled button ignores presses and is drawn at opacity 0.8.
class RQTouchBarButton final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit RQTouchBarButton(std::unique_ptr<RQTouchBarButtonCell> cell, QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(RQTouchBarButton)

    RQTouchBarButtonCell &cell() const { return *m_cell; }
    // 1 when enabled, 0.8 when not.
    qreal opacity() const;

    QSize sizeHint() const override { return {120, 30}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    void setPressed(bool pressed);

    std::unique_ptr<RQTouchBarButtonCell> m_cell;
};
