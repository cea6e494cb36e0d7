#include "controls/RQMavericksButtonCell.h"

#include "controls/CellButton.h"
#include "controls/RQPushButtonTheme.h"
#include "controls/RQTexturedButtonTheme.h"
#include "controls/TitlePainter.h"

#include <QLinearGradient>
#include <QPainter>

const RQMavericksButtonTheme *RQMavericksButtonCell::buttonTheme(const CellButton &button)
{
    switch (button.bezelStyle()) {
    case roundedBezelStyle:
        return &RQPushButtonTheme::theme();
    case texturedSquareBezelStyle:
        return &RQTexturedButtonTheme::theme();
    default:
        return nullptr;
    }
}

void RQMavericksButtonCell::drawBezel(QPainter &painter, const QRectF &frame, const CellButton &button) const
{
    const RQMavericksButtonTheme *theme = buttonTheme(button);
    if (!theme) {
        RQButtonCell::drawBezel(painter, frame, button);
        return;
    }
    const std::optional<QPainterPath> path = theme->drawingPathForFrame(frame);
    if (!path)
        return;
    // The gradient rises from the bottom at rest and falls from the top while pressed.
    const QRectF shape = path->boundingRect();
    QLinearGradient gradient = button.isHighlighted() ? QLinearGradient(shape.topLeft(), shape.bottomLeft())
                                                      : QLinearGradient(shape.bottomLeft(), shape.topLeft());
    gradient.setStops(theme->backgroundGradient());
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillPath(*path, gradient);
    painter.strokePath(*path, QPen(theme->strokeColor(), 1));
    painter.restore();
}

QRectF RQMavericksButtonCell::drawTitle(QPainter &painter, const AttributedTitle &title,
                                        const QRectF &frame, const CellButton &button) const
{
    const RQMavericksButtonTheme *theme = buttonTheme(button);
    const std::optional<TitleAttributes> attributes = theme ? theme->titleAttributes() : std::nullopt;
    if (!attributes)
        return RQButtonCell::drawTitle(painter, title, frame, button);
    const AttributedTitle themed = title.adding(*attributes);
    QRectF rect = frame;
    if (button.bezelStyle() == texturedSquareBezelStyle) {
        const qreal titleHeight = TitlePainter::size(themed).height();
        rect = titleLine(frame, button.height() / 2.0 - titleHeight / 2 - 1, titleHeight);
    }
    TitlePainter::draw(painter, themed, rect, button.palette().color(QPalette::ButtonText));
    return rect;
}

bool RQMavericksButtonCell::drawsTitleItself(const CellButton &button) const
{
    return buttonTheme(button) || RQButtonCell::drawsTitleItself(button);
}
