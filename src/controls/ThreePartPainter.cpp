#include "controls/ThreePartPainter.h"

#include "platform/gui/NamedImage.h"

void ThreePartPainter::draw(QPainter &painter, const QRectF &frame, const NamedImage &left,
                            const NamedImage &middle, const NamedImage &right, qreal leftCapOverlap)
{
    if (frame.isEmpty())
        return;
    const qreal leftWidth = left.size().width();
    const qreal rightWidth = right.size().width();
    const QRectF leftCap(frame.left(), frame.top(), leftWidth, frame.height());
    const QRectF rightCap(frame.right() - rightWidth, frame.top(), rightWidth, frame.height());
    const qreal middleLeft = leftCap.right() - leftCapOverlap;
    const QRectF stretch(middleLeft, frame.top(), rightCap.left() - middleLeft, frame.height());

    left.draw(painter, leftCap);
    if (stretch.width() > 0)
        middle.draw(painter, stretch);
    right.draw(painter, rightCap);
}
