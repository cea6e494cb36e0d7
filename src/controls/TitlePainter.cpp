#include "controls/TitlePainter.h"

#include "controls/ShadowPainter.h"
#include "platform/gui/PainterPixelRatio.h"

#include <QFontMetricsF>
#include <QHash>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace {

QFont kerned(const AttributedTitle &title)
{
    QFont font = title.font;
    if (title.attributes.kerning != 0)
        font.setLetterSpacing(QFont::AbsoluteSpacing, title.attributes.kerning);
    return font;
}

QString cacheKey(const AttributedTitle &title, const QColor &color, qreal ratio)
{
    const TitleAttributes &attributes = title.attributes;
    QString key = title.text + QChar(0) + title.font.toString() + QChar(0) + color.name(QColor::HexArgb)
        + QChar(0) + QString::number(attributes.kerning) + QChar(0) + QString::number(ratio);
    if (const auto &shadow = attributes.shadow) {
        key += QChar(0) + shadow->color.name(QColor::HexArgb) + QChar(0) + QString::number(shadow->blurRadius)
            + QChar(0) + QString::number(shadow->offset.x()) + QChar(0) + QString::number(shadow->offset.y());
    }
    return key;
}

// The title and its shadow in an image with room for the shadow around the text, which
// starts at (margin, margin).
QImage renderTitle(const AttributedTitle &title, const QColor &color, qreal ratio, qreal margin)
{
    const QSizeF textSize = TitlePainter::size(title);
    const QSizeF imageSize = textSize + QSizeF(2 * margin, 2 * margin);
    QImage image(static_cast<int>(std::ceil(imageSize.width() * ratio)),
                 static_cast<int>(std::ceil(imageSize.height() * ratio)),
                 QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    const QRectF textRect(QPointF(margin, margin), textSize);
    const QFont font = kerned(title);
    ShadowPainter::drawWithShadow(painter, title.attributes.shadow.value_or(RQShadow{}), textRect,
                                  [&](QPainter &target) {
                                      target.setFont(font);
                                      target.setPen(color);
                                      target.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, title.text);
                                  });
    return image;
}

} // namespace

QSizeF TitlePainter::size(const AttributedTitle &title)
{
    if (title.text.isEmpty())
        return {0, QFontMetricsF(kerned(title)).height()};
    return QFontMetricsF(kerned(title)).size(Qt::TextSingleLine, title.text);
}

void TitlePainter::draw(QPainter &painter, const AttributedTitle &title, const QRectF &rect,
                        const QColor &fallback)
{
    if (title.text.isEmpty())
        return;
    const QColor color = title.attributes.color.isValid() ? title.attributes.color : fallback;
    const qreal ratio = painterPixelRatio(painter);
    const RQShadow shadow = title.attributes.shadow.value_or(RQShadow{});
    const qreal margin = std::ceil(2 * shadow.blurRadius + std::abs(shadow.offset.x()) + std::abs(shadow.offset.y()));

    static QHash<QString, QImage> rendered;
    const QString key = cacheKey(title, color, ratio);
    auto found = rendered.constFind(key);
    if (found == rendered.constEnd())
        found = rendered.insert(key, renderTitle(title, color, ratio, margin));

    const QSizeF textSize = size(title);
    const QPointF textOrigin(rect.center().x() - textSize.width() / 2,
                             rect.center().y() - textSize.height() / 2);
    // Whole pixels keep the text as sharp as it was rendered.
    const QPointF imageOrigin = textOrigin - QPointF(margin, margin);
    painter.drawImage(QPointF(std::round(imageOrigin.x() * ratio) / ratio,
                              std::round(imageOrigin.y() * ratio) / ratio),
                      found.value());
}
