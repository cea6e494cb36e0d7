#include "controls/RQButtonCell.h"

#include "controls/CellButton.h"
#include "controls/MWNavigationButtonCell.h"
#include "controls/RQMavericksButtonCell.h"
#include "controls/TitlePainter.h"
#include "controls/VXBlueButtonCell.h"
#include "controls/VXGrayButtonCell.h"

#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QStyle>

#include <functional>

std::unique_ptr<RQButtonCell> RQButtonCell::cellNamed(const QString &className)
{
    using Maker = std::function<std::unique_ptr<RQButtonCell>()>;
    static const QHash<QString, Maker> makers{
        {QStringLiteral("RQButtonCell"), [] { return std::make_unique<RQButtonCell>(); }},
        {QStringLiteral("VXBlueButtonCell"), [] { return std::make_unique<VXBlueButtonCell>(); }},
        {QStringLiteral("VXGrayButtonCell"), [] { return std::make_unique<VXGrayButtonCell>(); }},
        {QStringLiteral("MWNavigationButtonCell"),
         [] { return std::make_unique<MWNavigationButtonCell>(); }},
        {QStringLiteral("RQMavericksButtonCell"),
         [] { return std::make_unique<RQMavericksButtonCell>(); }},
    };
    const auto maker = makers.constFind(className);
    return maker == makers.constEnd() ? nullptr : maker.value()();
}

// The same steps, in the same order, as the style's own push button drawing.
void RQButtonCell::draw(QPainter &painter, const CellButton &button) const
{
    const QRectF frame(button.rect());
    drawBezel(painter, frame, button);
    drawInterior(painter, frame, button);
    if (button.hasFocus())
        drawFocusRing(painter, frame, button);
}

void RQButtonCell::drawBezel(QPainter &painter, const QRectF &, const CellButton &button) const
{
    const QStyleOptionButton option = button.styleOption();
    button.style()->drawControl(QStyle::CE_PushButtonBevel, &option, &painter, &button);
}

void RQButtonCell::drawInterior(QPainter &painter, const QRectF &, const CellButton &button) const
{
    QStyleOptionButton option = button.styleOption();
    option.rect = button.style()->subElementRect(QStyle::SE_PushButtonContents, &option, &button);
    const AttributedTitle title = button.attributedTitle();
    if (title.attributes.color.isValid())
        option.palette.setColor(QPalette::ButtonText, title.attributes.color);
    if (!drawsTitleItself(button)) {
        button.style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, &button);
        return;
    }
    option.text.clear();
    button.style()->drawControl(QStyle::CE_PushButtonLabel, &option, &painter, &button);
    drawTitle(painter, title, QRectF(option.rect), button);
}

QRectF RQButtonCell::drawTitle(QPainter &painter, const AttributedTitle &title, const QRectF &frame,
                               const CellButton &button) const
{
    TitlePainter::draw(painter, title, frame, button.palette().color(QPalette::ButtonText));
    return frame;
}

void RQButtonCell::drawFocusRing(QPainter &painter, const QRectF &, const CellButton &button) const
{
    const QStyleOptionButton option = button.styleOption();
    QStyleOptionFocusRect focus;
    focus.QStyleOption::operator=(option);
    focus.rect = button.style()->subElementRect(QStyle::SE_PushButtonFocusRect, &option, &button);
    button.style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, &button);
}

bool RQButtonCell::drawsTitleItself(const CellButton &button) const
{
    return !button.attributedTitle().attributes.isPlain();
}

void RQButtonCell::drawPillFocusRing(QPainter &painter, const QRectF &frame)
{
    // Inside the pill, in white, so it shows on every colour of pill.
    const QRectF ring = frame.adjusted(2, 2, -2, -3);
    if (ring.isEmpty())
        return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(QColor::fromRgbF(1, 1, 1, 0.85f), 1.5));
    painter.setBrush(Qt::NoBrush);
    const qreal radius = ring.height() / 2;
    painter.drawRoundedRect(ring, radius, radius);
    painter.restore();
}

QRectF RQButtonCell::titleLine(const QRectF &frame, qreal y, qreal titleHeight)
{
    return {frame.x(), y, frame.width(), titleHeight};
}
