#pragma once

#include <QString>
#include <QVariant>

#include <functional>

// Where the icons of scanned items come from. The engine has no GUI, so the application
// registers a provider (FileIconProvider::install of the interface layer) that answers with a
// QIcon in a QVariant. Icons are asked for lazily, on the main thread only, because making one
// may need the GUI; without a provider the answer is a null QVariant.
class FileIconSource final
{
public:
    using Provider = std::function<QVariant(const QString &path)>;

    static void setProvider(Provider provider);
    static QVariant iconForFile(const QString &path);

    FileIconSource() = delete;
};
