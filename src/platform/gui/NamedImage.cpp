#include "platform/gui/NamedImage.h"

#include "platform/gui/ImageLoader.h"

#include "platform/gui/PainterPixelRatio.h"

#include <QHash>
#include <QImageReader>
#include <QPainter>
#include <QRectF>

#include <cmath>

namespace {

struct RenderKey
{
    QString name;
    int pixelWidth = 0;
    int pixelHeight = 0;
    qreal ratio = 1;

    friend bool operator==(const RenderKey &, const RenderKey &) = default;
};

size_t qHash(const RenderKey &key, size_t seed = 0)
{
    return qHashMulti(seed, key.name, key.pixelWidth, key.pixelHeight, key.ratio);
}

// Whole pixels covering the size; a hair of rounding error does not add a pixel.
int wholePixels(qreal points, qreal devicePixelRatio)
{
    return qMax(1, static_cast<int>(std::ceil(points * devicePixelRatio - 0.01)));
}

QSize pixelSize(const QSizeF &sizeInPoints, qreal devicePixelRatio)
{
    return {wholePixels(sizeInPoints.width(), devicePixelRatio),
            wholePixels(sizeInPoints.height(), devicePixelRatio)};
}

QPixmap render(const QString &name, const QSize &pixels, qreal devicePixelRatio)
{
    QImageReader reader(ImageLoader::resourcePath(name));
    reader.setScaledSize(pixels);
    QPixmap pixmap = QPixmap::fromImage(reader.read());
    pixmap.setDevicePixelRatio(devicePixelRatio);
    return pixmap;
}

} // namespace

NamedImage::NamedImage(std::shared_ptr<const Artwork> artwork) : m_artwork(std::move(artwork)) {}

bool NamedImage::isNull() const
{
    return !m_artwork;
}

QString NamedImage::name() const
{
    return m_artwork ? m_artwork->name : QString();
}

QSizeF NamedImage::size() const
{
    return m_artwork ? m_artwork->size : QSizeF();
}

QPixmap NamedImage::pixmap(const QSizeF &sizeInPoints, qreal devicePixelRatio) const
{
    if (!m_artwork || sizeInPoints.isEmpty() || devicePixelRatio <= 0)
        return {};
    // Rendered artwork is shared by every image of the process, so a slice drawn by many
    // buttons is parsed and rasterised only once per size and ratio.
    static QHash<RenderKey, QPixmap> rendered;
    const QSize pixels = pixelSize(sizeInPoints, devicePixelRatio);
    const RenderKey key{m_artwork->name, pixels.width(), pixels.height(), devicePixelRatio};
    auto found = rendered.find(key);
    if (found == rendered.end())
        found = rendered.insert(key, render(m_artwork->name, pixels, devicePixelRatio));
    return found.value();
}

void NamedImage::draw(QPainter &painter, const QRectF &target) const
{
    if (!m_artwork || target.isEmpty())
        return;
    const qreal ratio = painterPixelRatio(painter);
    const QPixmap image = pixmap(target.size(), ratio);
    painter.drawPixmap(target, image, QRectF(image.rect()));
}
