#include "controls/VXBlueButtonCell.h"

#include "controls/CellButton.h"
#include "controls/ThreePartPainter.h"
#include "controls/TitlePainter.h"
#include "platform/gui/ImageLoader.h"

void VXBlueButtonCell::setSuccess(bool success)
{
    m_success = success;
}

QString VXBlueButtonCell::sliceName(Slice slice, bool highlighted) const
{
    static const char *const parts[] = {"left", "middle", "right"};
    return QStringLiteral("button-%1-%2%3")
        .arg(m_success ? QLatin1String("green") : QLatin1String("blue"),
             QLatin1String(parts[static_cast<int>(slice)]),
             highlighted ? QLatin1String("-active") : QLatin1String());
}

NamedImage VXBlueButtonCell::sliceImage(Slice slice, bool highlighted) const
{
    return ImageLoader::imageNamed(sliceName(slice, highlighted));
}

// The pill is the whole button; there is no bezel behind it.
void VXBlueButtonCell::drawBezel(QPainter &, const QRectF &, const CellButton &) const {}

void VXBlueButtonCell::drawInterior(QPainter &painter, const QRectF &frame, const CellButton &button) const
{
    const bool highlighted = button.isHighlighted();
    ThreePartPainter::draw(painter, frame, sliceImage(Slice::Left, highlighted),
                           sliceImage(Slice::Middle, highlighted), sliceImage(Slice::Right, highlighted));
    const AttributedTitle title{button.text(), button.font(),
                                {Qt::white, RQShadow{QColor::fromRgbF(0, 0, 0, 0.8f), 1, QPointF(0, -1)}, 0}};
    const qreal titleHeight = TitlePainter::size(title).height();
    TitlePainter::draw(painter, title,
                       titleLine(frame, frame.height() / 2 - titleHeight / 2 - 2, titleHeight), Qt::white);
}

void VXBlueButtonCell::drawFocusRing(QPainter &painter, const QRectF &frame, const CellButton &) const
{
    drawPillFocusRing(painter, frame);
}
