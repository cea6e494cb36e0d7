#include "ScreenCapture.h"

#include <QDir>
#include <QLayout>
#include <QWidget>

QImage ScreenCapture::render(QWidget &widget, qreal devicePixelRatio)
{
    widget.ensurePolished();
    if (QLayout *layout = widget.layout())
        layout->activate();
    const QSize pixels = widget.size() * devicePixelRatio;
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    widget.render(&image);
    return image;
}

std::pair<QImage, QImage> ScreenCapture::save(QWidget &widget, const QString &name)
{
    QImage single = render(widget, 1);
    QImage twice = render(widget, 2);
    const QDir folder(screensFolder());
    folder.mkpath(QStringLiteral("."));
    single.save(folder.filePath(name + QStringLiteral("@1x.png")));
    twice.save(folder.filePath(name + QStringLiteral("@2x.png")));
    return {std::move(single), std::move(twice)};
}

QString ScreenCapture::screensFolder()
{
    return QStringLiteral(MARROWICK_SCREENS_DIR);
}
