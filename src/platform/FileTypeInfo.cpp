#include "platform/FileTypeInfo.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <mutex>
#include <shared_mutex>
#include <sys/stat.h>

namespace {

using namespace Qt::StringLiterals;

const QSet<QString> &archiveTypes()
{
    static const QSet<QString> types = {
        u"application/zip"_s, u"application/x-tar"_s, u"application/gzip"_s,
        u"application/x-bzip"_s, u"application/x-bzip2"_s, u"application/x-xz"_s,
        u"application/x-lzma"_s, u"application/x-lzip"_s, u"application/zstd"_s,
        u"application/x-7z-compressed"_s, u"application/vnd.rar"_s, u"application/x-rar"_s,
        u"application/x-compressed-tar"_s, u"application/x-bzip-compressed-tar"_s,
        u"application/x-xz-compressed-tar"_s, u"application/x-zstd-compressed-tar"_s,
        u"application/x-archive"_s, u"application/x-cpio"_s, u"application/x-java-archive"_s,
        u"application/x-apple-diskimage"_s, u"application/x-stuffit"_s,
        u"application/x-compress"_s, u"application/x-lha"_s, u"application/x-arj"_s,
    };
    return types;
}

bool isDocumentContainer(const QString &name)
{
    // Office documents and e-books are ZIP containers underneath, but users see documents.
    return name.startsWith("application/vnd."_L1) || name.endsWith("+zip"_L1);
}

bool nameConforms(const QString &name, FileTypeInfo::Category category)
{
    switch (category) {
    case FileTypeInfo::Category::Image:
        return name.startsWith("image/"_L1);
    case FileTypeInfo::Category::Video:
        return name.startsWith("video/"_L1);
    case FileTypeInfo::Category::Text:
        return name.startsWith("text/"_L1) || name == "application/pdf"_L1;
    case FileTypeInfo::Category::Audio:
        return name.startsWith("audio/"_L1);
    case FileTypeInfo::Category::Archive:
        return archiveTypes().contains(name);
    }
    return false;
}

bool computeConformance(const QString &typeIdentifier, FileTypeInfo::Category category)
{
    static const QMimeDatabase database;
    const QMimeType type = database.mimeTypeForName(typeIdentifier);
    if (!type.isValid())
        return nameConforms(typeIdentifier, category);
    if (nameConforms(type.name(), category))
        return true;
    if (category == FileTypeInfo::Category::Archive && isDocumentContainer(type.name()))
        return false;
    const QStringList ancestors = type.allAncestors();
    return std::any_of(ancestors.cbegin(), ancestors.cend(),
                       [category](const QString &ancestor) { return nameConforms(ancestor, category); });
}

// Answers for extensions and types are asked for every scanned item, so they are kept.
class TypeCache
{
public:
    template<typename Compute>
    QString typeFor(const QString &extension, Compute compute)
    {
        return cached(m_types, extension, compute);
    }

    bool conformance(const QString &typeIdentifier, FileTypeInfo::Category category)
    {
        const QString key = typeIdentifier + QChar(u'\n') + QString::number(int(category));
        const QString answer = cached(m_conformance, key, [&] {
            return computeConformance(typeIdentifier, category) ? u"1"_s : QString();
        });
        return !answer.isEmpty();
    }

private:
    template<typename Compute>
    QString cached(QHash<QString, QString> &table, const QString &key, Compute compute)
    {
        {
            std::shared_lock lock(m_mutex);
            const auto found = table.constFind(key);
            if (found != table.cend())
                return *found;
        }
        const QString value = compute();
        std::unique_lock lock(m_mutex);
        table.insert(key, value);
        return value;
    }

    std::shared_mutex m_mutex;
    QHash<QString, QString> m_types;
    QHash<QString, QString> m_conformance;
};

TypeCache &typeCache()
{
    static TypeCache cache;
    return cache;
}

} // namespace

QString FileTypeInfo::displayName(const QString &path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    if (end == 1 && path.at(0) == u'/')
        return u"/"_s;
    const qsizetype slash = path.lastIndexOf(u'/', end - 1);
    return path.mid(slash + 1, end - slash - 1);
}

QString FileTypeInfo::extension(const QString &path)
{
    const QString name = displayName(path);
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.mid(dot + 1) : QString();
}

bool FileTypeInfo::exists(const QString &path)
{
    if (path.isEmpty())
        return false;
    struct stat status {};
    return ::stat(QFile::encodeName(path).constData(), &status) == 0;
}

QString FileTypeInfo::typeIdentifierForExtension(const QString &extension)
{
    return typeCache().typeFor(extension, [&extension] {
        static const QMimeDatabase database;
        return database.mimeTypeForFile(u"file."_s + extension, QMimeDatabase::MatchExtension).name();
    });
}

bool FileTypeInfo::conformsTo(const QString &typeIdentifier, Category category)
{
    return typeCache().conformance(typeIdentifier, category);
}
