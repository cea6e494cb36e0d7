#include "platform/gui/ImageLoader.h"

#include <QFileInfo>
#include <QHash>
#include <QImageReader>

NamedImage ImageLoader::imageNamed(const QString &name)
{
    static QHash<QString, NamedImage> known;
    const auto found = known.constFind(name);
    if (found != known.constEnd())
        return found.value();

    NamedImage image;
    const QString path = resourcePath(name);
    if (!name.isEmpty() && QFileInfo::exists(path)) {
        QImageReader reader(path);
        const QSize naturalSize = reader.size();
        if (naturalSize.isValid())
            image = NamedImage(std::make_shared<const NamedImage::Artwork>(
                NamedImage::Artwork{name, QSizeF(naturalSize)}));
    }
    known.insert(name, image);
    return image;
}

QString ImageLoader::resourcePath(const QString &name)
{
    return QStringLiteral(":/images/") + name + QStringLiteral(".svg");
}
