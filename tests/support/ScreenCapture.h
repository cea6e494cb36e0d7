#pragma once

#include <QImage>
#include <QList>
#include <QString>

#include <utility>

class QWidget;

// Renders widgets into images, as the offscreen platform cannot show them, and keeps them as
// PNG files under the build folder's "screens" folder for people to look at.
class ScreenCapture final
{
public:
    // The widget drawn into a transparent image of its size at the given pixel ratio.
    static QImage render(QWidget &widget, qreal devicePixelRatio);
    // The widget at ratios 1 and 2, written to screens/<name>@1x.png and @2x.png. Popups open
    // over it (menus, tool tips) are drawn on top where they show on the screen.
    static std::pair<QImage, QImage> save(QWidget &widget, const QString &name,
                                          const QList<QWidget *> &popups = {});
    static QString screensFolder();

private:
    static QImage renderWithPopups(QWidget &widget, qreal devicePixelRatio,
                                   const QList<QWidget *> &popups);
};
