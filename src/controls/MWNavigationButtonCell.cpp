#include "controls/MWNavigationButtonCell.h"

#include "controls/CellButton.h"
#include "controls/TitlePainter.h"

QRectF MWNavigationButtonCell::drawTitle(QPainter &painter, const AttributedTitle &title,
                                         const QRectF &frame, const CellButton &button) const
{
    const QColor ink = button.isEnabled() ? QColor(Qt::black) : QColor::fromRgbF(0.4f, 0.4f, 0.4f);
    const AttributedTitle engraved = title.adding({ink, RQShadow{Qt::white, 0, QPointF(0, -1)}, -0.1});
    const QRectF moved = frame.translated(button.tag() == 1 ? 3 : -3, 2);
    TitlePainter::draw(painter, engraved, moved, ink);
    return moved;
}

bool MWNavigationButtonCell::drawsTitleItself(const CellButton &) const
{
    return true;
}
