#include "controls/ShadowPainter.h"
#include "platform/gui/PainterPixelRatio.h"

#include <QImage>
#include <QPainter>

#include <cmath>
#include <vector>

namespace {

// One pass of a running-sum box blur along rows (or, transposed, along columns) of a
// premultiplied image; three passes come close to a Gaussian.
void boxBlurPass(QImage &image, int radius, bool alongColumns)
{
    const int lines = alongColumns ? image.width() : image.height();
    const int length = alongColumns ? image.height() : image.width();
    const int window = 2 * radius + 1;
    std::vector<QRgb> source(static_cast<size_t>(length));
    for (int line = 0; line < lines; ++line) {
        auto pixel = [&](int at) -> QRgb & {
            const int x = alongColumns ? line : at;
            const int y = alongColumns ? at : line;
            return reinterpret_cast<QRgb *>(image.scanLine(y))[x];
        };
        for (int at = 0; at < length; ++at)
            source[static_cast<size_t>(at)] = pixel(at);
        auto channelSum = [&](int from, int to, int shift) {
            int sum = 0;
            for (int at = qMax(from, 0); at <= qMin(to, length - 1); ++at)
                sum += (source[static_cast<size_t>(at)] >> shift) & 0xff;
            return sum;
        };
        int sums[4] = {channelSum(-radius, radius, 0), channelSum(-radius, radius, 8),
                       channelSum(-radius, radius, 16), channelSum(-radius, radius, 24)};
        for (int at = 0; at < length; ++at) {
            QRgb blurred = 0;
            for (int channel = 0; channel < 4; ++channel)
                blurred |= static_cast<QRgb>(sums[channel] / window) << (8 * channel);
            pixel(at) = blurred;
            const int leaving = at - radius;
            const int entering = at + radius + 1;
            for (int channel = 0; channel < 4; ++channel) {
                if (leaving >= 0)
                    sums[channel] -= (source[static_cast<size_t>(leaving)] >> (8 * channel)) & 0xff;
                if (entering < length)
                    sums[channel] += (source[static_cast<size_t>(entering)] >> (8 * channel)) & 0xff;
            }
        }
    }
}

// A blur radius r reads as a Gaussian of standard deviation r / 2; three box passes of width
// w have variance (w^2 - 1) / 4.
void blur(QImage &image, qreal radiusInPixels)
{
    const qreal sigma = radiusInPixels / 2;
    const int boxRadius = qMax(1, static_cast<int>(std::lround((std::sqrt(4 * sigma * sigma + 1) - 1) / 2)));
    for (int pass = 0; pass < 3; ++pass) {
        boxBlurPass(image, boxRadius, false);
        boxBlurPass(image, boxRadius, true);
    }
}

} // namespace

void ShadowPainter::drawWithShadow(QPainter &painter, const RQShadow &shadow, const QRectF &bounds,
                                   const std::function<void(QPainter &)> &content)
{
    if (shadow.isVisible() && !bounds.isEmpty()) {
        const qreal ratio = painterPixelRatio(painter);
        const qreal margin = std::ceil(shadow.blurRadius * 2);
        const QRectF area = bounds.adjusted(-margin, -margin, margin, margin);
        QImage cast(static_cast<int>(std::ceil(area.width() * ratio)),
                   static_cast<int>(std::ceil(area.height() * ratio)),
                    QImage::Format_ARGB32_Premultiplied);
        cast.setDevicePixelRatio(ratio);
        cast.fill(Qt::transparent);
        {
            QPainter castPainter(&cast);
            castPainter.setRenderHints(painter.renderHints());
            castPainter.setFont(painter.font());
            castPainter.setPen(painter.pen());
            castPainter.translate(-area.topLeft());
            content(castPainter);
            castPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            castPainter.fillRect(area, shadow.color);
        }
        if (shadow.blurRadius > 0)
            blur(cast, shadow.blurRadius * ratio);
        painter.drawImage(area.topLeft() + shadow.widgetOffset(), cast);
    }
    content(painter);
}
