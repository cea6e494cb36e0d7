#pragma once

#include "controls/AttributedTitle.h"

#include <QColor>
#include <QGradientStops>
#include <QPainterPath>
#include <QRectF>

#include <optional>

// One flat look of a button: its outline colour, the gradient that fills its shape (from the
// start stop to the end stop), the attributes added to its title, and the shape itself. The
// base look has none of them. Themes hold no state; one object of each serves every button.
class RQMavericksButtonTheme
{
public:
    RQMavericksButtonTheme() = default;
    virtual ~RQMavericksButtonTheme() = default;
    Q_DISABLE_COPY_MOVE(RQMavericksButtonTheme)

    static const RQMavericksButtonTheme &theme();

    virtual QColor strokeColor() const;
    virtual QGradientStops backgroundGradient() const;
    virtual std::optional<TitleAttributes> titleAttributes() const;
    // The shape for a button frame; none when the frame is too small to hold it.
    virtual std::optional<QPainterPath> drawingPathForFrame(const QRectF &frame) const;

protected:
    // A rounded rectangle of radius 3 inside frame, or none when nothing is left of it.
    static std::optional<QPainterPath> roundedInset(const QRectF &frame, qreal dx, qreal dy,
                                                    qreal lessHigh);
};
