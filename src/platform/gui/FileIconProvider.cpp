#include "platform/gui/FileIconProvider.h"

#include "platform/FileIconSource.h"

#include <QFileIconProvider>
#include <QFileInfo>

QIcon FileIconProvider::iconForFile(const QString &path)
{
    static const QFileIconProvider provider;
    return provider.icon(QFileInfo(path));
}

void FileIconProvider::install()
{
    FileIconSource::setProvider([](const QString &path) { return QVariant::fromValue(iconForFile(path)); });
}
