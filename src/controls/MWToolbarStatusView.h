#pragma once

#include <QWidget>

// The background of the toolbar's status area: the image "background-status" stretched over
// the whole view.
class MWToolbarStatusView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MWToolbarStatusView)

public:
    explicit MWToolbarStatusView(QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
