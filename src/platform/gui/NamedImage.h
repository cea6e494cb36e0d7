#pragma once

#include <QPixmap>
#include <QSizeF>
#include <QString>

#include <memory>

class QPainter;
class QRectF;

// An image of the application's artwork, known by its name. A null image stands for a name
// with no artwork; drawing it does nothing. Copies share the artwork. Main thread only.
class NamedImage final
{
public:
    NamedImage() = default;

    bool isNull() const;
    QString name() const;
    // The image's natural size in points.
    QSizeF size() const;

    // The image rendered at the given size and device pixel ratio. Each size and ratio is
    // rendered once for the whole process; later calls answer the kept pixmap.
    QPixmap pixmap(const QSizeF &sizeInPoints, qreal devicePixelRatio) const;
    // Draws the image stretched over target, rendered at the painter's pixel ratio (not the
    // screen's), so images rendered at 2x come out as sharp as a 2x screen.
    void draw(QPainter &painter, const QRectF &target) const;

    friend bool operator==(const NamedImage &, const NamedImage &) = default;

private:
    friend class ImageLoader;
    struct Artwork
    {
        QString name;
        QSizeF size;
    };
    explicit NamedImage(std::shared_ptr<const Artwork> artwork);

    std::shared_ptr<const Artwork> m_artwork;
};
