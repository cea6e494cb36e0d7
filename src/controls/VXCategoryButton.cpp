#include "controls/VXCategoryButton.h"

#include <QPainter>
#include <QPainterPath>

namespace {

QFont titleFont()
{
    QFont font;
    font.setPointSizeF(12);
    font.setBold(true);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.1);
    return font;
}

} // namespace

VXCategoryButton::VXCategoryButton(QWidget *parent)
    : QAbstractButton(parent)
{
    setCheckable(true);
    setFont(titleFont());
    setFocusPolicy(Qt::TabFocus);
    connect(this, &QAbstractButton::toggled, this, [this] { update(); });
}

QColor VXCategoryButton::capsuleColor()
{
    return QColor::fromHsvF(0, 0, 0.08f, 0.6f);
}

QSize VXCategoryButton::sizeHint() const
{
    const QFontMetrics metrics(font());
    return {metrics.horizontalAdvance(text()) + 22, 22};
}

void VXCategoryButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    if (isChecked()) {
        const qreal radius = frame.height() / 2;
        QPainterPath capsule;
        capsule.addRoundedRect(frame, radius, radius);
        painter.fillPath(capsule, capsuleColor());
        // Inner edges: a light one along the bottom, a dark one along the top.
        painter.save();
        painter.setClipPath(capsule);
        painter.setPen(QPen(QColor(255, 255, 255, 140), 1));
        painter.drawPath(capsule.translated(0, -1.1));
        painter.setPen(QPen(QColor(0, 0, 0, 160), 1));
        painter.drawPath(capsule.translated(0, 1.1));
        painter.restore();
        // The title's shadow while chosen.
        painter.setPen(Qt::black);
        painter.drawText(QRectF(rect()).translated(0, 1).adjusted(-2.5, 0, 2.5, 0), Qt::AlignCenter, text());
    }
    if (hasFocus()) {
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.setBrush(Qt::NoBrush);
        painter.drawRoundedRect(frame, frame.height() / 2, frame.height() / 2);
    }
    painter.setPen(Qt::white);
    painter.drawText(QRectF(rect()).adjusted(-2.5, 0, 2.5, 0), Qt::AlignCenter, text());
}
