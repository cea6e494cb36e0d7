#include "controls/MWLinedBackgroundView.h"

#include <QPainter>

MWLinedBackgroundView::MWLinedBackgroundView(QWidget *parent) : QWidget(parent) {}

void MWLinedBackgroundView::setBackgroundColor(const QColor &color)
{
    m_backgroundColor = color;
    update();
}

void MWLinedBackgroundView::setLineColor(const QColor &color)
{
    m_lineColor = color;
    update();
}

void MWLinedBackgroundView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    if (m_backgroundColor.isValid())
        painter.fillRect(rect(), m_backgroundColor);
    if (!m_lineColor.isValid())
        m_lineColor = QColor::fromRgbF(0.9529f, 0.9608f, 0.9843f);
    // Whole lines only: a last line would need a free point to its right.
    for (int line = 0; line < width() / 2; ++line)
        painter.fillRect(QRect(2 * line, 0, 1, height()), m_lineColor);
}
