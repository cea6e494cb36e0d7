#include "ScreenCapture.h"

#include <QDir>
#include <QLayout>
#include <QPainter>
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

QImage ScreenCapture::renderWithPopups(QWidget &widget, qreal devicePixelRatio,
                                       const QList<QWidget *> &popups)
{
    QImage image = render(widget, devicePixelRatio);
    QPainter painter(&image);
    for (QWidget *popup : popups) {
        const QPoint offset = popup->mapToGlobal(QPoint(0, 0)) - widget.mapToGlobal(QPoint(0, 0));
        painter.drawImage(offset, render(*popup, devicePixelRatio));
    }
    return image;
}

std::pair<QImage, QImage> ScreenCapture::save(QWidget &widget, const QString &name,
                                              const QList<QWidget *> &popups)
{
    QImage single = renderWithPopups(widget, 1, popups);
    QImage twice = renderWithPopups(widget, 2, popups);
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
