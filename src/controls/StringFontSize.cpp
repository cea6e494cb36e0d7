#include "controls/StringFontSize.h"

#include <QFontMetricsF>

#include <cmath>

namespace {

constexpr qreal pointsPerPixel = 72.0 / 96.0;
constexpr qreal measuringSize = 12;

QSizeF measureInFont(const QString &text, const QFont &font)
{
    return QFontMetricsF(font).size(Qt::TextSingleLine, text);
}

} // namespace

double rq_scaleToAspectFit(const QSizeF &thing, const QSizeF &box, double padding)
{
    return std::min((box.width() - padding) / thing.width(),
                    (box.height() - padding) / thing.height());
}

std::optional<QFont> rq_fontToFitSize(const QString &text, const QSizeF &box,
                                      const QFont &baseFont, const TextMeasure &measure)
{
    if (text.isEmpty())
        return std::nullopt;
    const QFont font = rq_fontWithPixelSize(baseFont, measuringSize);
    const QSizeF measured = measure ? measure(text, font) : measureInFont(text, font);
    const double scale = rq_scaleToAspectFit(measured, box, 0);
    if (!std::isfinite(scale) || scale <= 0)
        return std::nullopt;
    return rq_fontWithPixelSize(baseFont, measuringSize * scale);
}

QFont rq_fontWithPixelSize(const QFont &font, qreal pixels)
{
    QFont sized(font);
    sized.setPointSizeF(pixels * pointsPerPixel);
    return sized;
}

qreal rq_fontPixelSize(const QFont &font)
{
    return font.pixelSize() > 0 ? font.pixelSize() : font.pointSizeF() / pointsPerPixel;
}
