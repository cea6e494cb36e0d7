#include "controls/MWToolbarStatusView.h"

#include "platform/gui/ImageLoader.h"

#include <QPainter>

MWToolbarStatusView::MWToolbarStatusView(QWidget *parent) : QWidget(parent) {}

void MWToolbarStatusView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    ImageLoader::imageNamed(QStringLiteral("background-status")).draw(painter, QRectF(rect()));
}
