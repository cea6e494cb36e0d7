#include "controls/VXGrayButtonCell.h"

#include "controls/CellButton.h"
#include "controls/StringFontSize.h"
#include "controls/ThreePartPainter.h"
#include "controls/TitlePainter.h"
#include "platform/gui/ImageLoader.h"

#include <QApplication>

QFont VXGrayButtonCell::titleFont()
{
    QFont font = QApplication::font();
    font.setBold(true);
    return rq_fontWithPixelSize(font, 11.5);
}

void VXGrayButtonCell::drawBezel(QPainter &painter, const QRectF &frame, const CellButton &button) const
{
    const QString state = button.isHighlighted() ? QStringLiteral("-highlighted") : QString();
    ThreePartPainter::draw(painter, frame, ImageLoader::imageNamed(QStringLiteral("button-gray-left") + state),
                           ImageLoader::imageNamed(QStringLiteral("button-gray-middle") + state),
                           ImageLoader::imageNamed(QStringLiteral("button-gray-right") + state));
}

// Only the title's text is kept; the look is the cell's own. The title sits 2 points below the
// middle of the whole pill, whatever part of it the frame covers.
QRectF VXGrayButtonCell::drawTitle(QPainter &painter, const AttributedTitle &title, const QRectF &frame,
                                   const CellButton &button) const
{
    const AttributedTitle drawn{title.text, titleFont(),
                                {Qt::white, RQShadow{QColor::fromRgbF(0, 0, 0, 0.8f), 1, QPointF(0, 1)}, 0}};
    const qreal titleHeight = TitlePainter::size(drawn).height();
    const QRectF pill(button.rect());
    TitlePainter::draw(painter, drawn, titleLine(pill, pill.height() / 2 - titleHeight / 2 + 2, titleHeight),
                       Qt::white);
    return frame;
}

void VXGrayButtonCell::drawFocusRing(QPainter &painter, const QRectF &frame, const CellButton &) const
{
    drawPillFocusRing(painter, frame);
}

bool VXGrayButtonCell::drawsTitleItself(const CellButton &) const
{
    return true;
}
