#include "platform/FileTypeInfo.h"

#include <QFile>
#include <QHash>
#include <QMimeDatabase>
#include <QSet>
#include <QStringList>

#include <algorithm>
#include <functional>
#include <sys/stat.h>
#include <unordered_map>

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

const QMimeDatabase &mimeDatabase()
{
    static const QMimeDatabase database;
    return database;
}

bool computeConformance(const QString &typeIdentifier, FileTypeInfo::Category category)
{
    const QMimeType type = mimeDatabase().mimeTypeForName(typeIdentifier);
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

// The index of the last such character before end, or -1. Asked for every scanned item, where
// Qt's general search costs several times this loop for a short name.
qsizetype lastIndexBefore(QStringView text, char16_t character, qsizetype end)
{
    while (end > 0 && text[end - 1] != character)
        --end;
    return end - 1;
}

// The last component without its trailing slashes; "/" stays "/".
QStringView lastComponent(QStringView path)
{
    qsizetype end = path.size();
    while (end > 1 && path.at(end - 1) == u'/')
        --end;
    if (end == 1 && path.at(0) == u'/')
        return path.first(1);
    const qsizetype slash = lastIndexBefore(path, u'/', end);
    return path.sliced(slash + 1, end - slash - 1);
}

FileTypeInfo::ExtensionType computeExtensionType(QStringView extension)
{
    using Category = FileTypeInfo::Category;
    FileTypeInfo::ExtensionType type;
    type.typeIdentifier = mimeDatabase().mimeTypeForFile(u"file."_s + extension, QMimeDatabase::MatchExtension).name();
    for (const Category category : {Category::Image, Category::Video, Category::Text, Category::Audio, Category::Archive}) {
        if (computeConformance(type.typeIdentifier, category)) {
            type.category = category;
            break;
        }
    }
    return type;
}

// Finds QString keys by a QStringView, so that a lookup builds no string.
struct ViewHash
{
    using is_transparent = void;
    std::size_t operator()(QStringView text) const { return qHash(text); }
};

} // namespace

QString FileTypeInfo::displayName(const QString &path)
{
    return lastComponent(path).toString();
}

QStringView FileTypeInfo::displayNameView(QStringView path)
{
    return lastComponent(path);
}

QString FileTypeInfo::extension(const QString &path)
{
    return extensionView(path).toString();
}

QStringView FileTypeInfo::extensionView(QStringView path)
{
    const QStringView name = lastComponent(path);
    const qsizetype dot = lastIndexBefore(name, u'.', name.size());
    return dot > 0 ? name.sliced(dot + 1) : QStringView();
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
    return typeForExtension(extension).typeIdentifier;
}

bool FileTypeInfo::conformsTo(const QString &typeIdentifier, Category category)
{
    return computeConformance(typeIdentifier, category);
}

FileTypeInfo::ExtensionType FileTypeInfo::typeForExtension(QStringView extension)
{
    // One table per thread needs no lock; the scan's thread fills its own in the first few files.
    thread_local std::unordered_map<QString, ExtensionType, ViewHash, std::equal_to<>> answers;
    if (const auto found = answers.find(extension); found != answers.end())
        return found->second;
    return answers.emplace(extension.toString(), computeExtensionType(extension)).first->second;
}
