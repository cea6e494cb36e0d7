#include "photolibraries/RQiPhotoDatabaseParser.h"

#include "platform/PropertyList.h"
#include "scanning/RQFile.h"

#include <QFile>
#include <QFileInfo>
#include <QSet>
#include <QUrl>
#include <QVariantMap>

using namespace Qt::StringLiterals;

RQiPhotoDatabaseParser::RQiPhotoDatabaseParser(const QString &albumDataPath)
{
    parseFileAtPath(albumDataPath);
}

std::shared_ptr<RQFile> RQiPhotoDatabaseParser::fileWithPath(const QString &path)
{
    const QFileInfo info(path);
    auto file = RQFile::fileWithURL(QUrl::fromLocalFile(path));
    if (!info.exists())
        return file;
    file->setFileSize(static_cast<double>(info.size()));
    file->setCreationDate(info.birthTime());
    file->setModificationDate(info.lastModified());
    return file;
}

void RQiPhotoDatabaseParser::parseFileAtPath(const QString &path)
{
    QFile albumData(path);
    if (!albumData.open(QIODevice::ReadOnly))
        return;
    const std::optional<QVariant> root = PropertyList::fromData(albumData.readAll());
    m_imagePaths.emplace();
    if (!root || root->typeId() != QMetaType::QVariantMap)
        return;
    const QVariant masters = root->toMap().value(u"Master Image List"_s);
    if (masters.typeId() != QMetaType::QVariantMap)
        return;

    // A master may appear under several keys; each file becomes one item.
    QSet<QString> seenPaths;
    for (const QVariant &image : masters.toMap()) {
        if (image.typeId() != QMetaType::QVariantMap)
            continue;
        const QVariant imagePath = image.toMap().value(u"ImagePath"_s);
        // A relative path would be taken against the working folder: another file.
        if (imagePath.typeId() != QMetaType::QString || !imagePath.toString().startsWith(u'/')
            || seenPaths.contains(imagePath.toString()))
            continue;
        seenPaths.insert(imagePath.toString());
        m_imagePaths->push_back(fileWithPath(imagePath.toString()));
    }
}
