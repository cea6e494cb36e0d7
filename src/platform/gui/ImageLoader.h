#pragma once

#include "platform/gui/NamedImage.h"

#include <QString>

// Finds the application's artwork by name: ":/images/<name>.svg". Main thread only.
class ImageLoader final
{
public:
    // The image with that name, or a null image when there is none. Each name is looked up
    // once per process.
    static NamedImage imageNamed(const QString &name);

    // Where the artwork of a name lives among the resources.
    static QString resourcePath(const QString &name);
};
