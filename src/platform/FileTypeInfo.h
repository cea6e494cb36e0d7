#pragma once

#include <QString>
#include <QStringView>

#include <optional>

// What the file system and the shared MIME database say about a path: its display name,
// whether something exists there, and the type of a file name extension. Type identifiers
// are MIME type names. Thread-safe; answers for extensions are cached per thread.
class FileTypeInfo final
{
public:
    enum class Category { Image, Video, Text, Audio, Archive };

    // The last path component, as a file manager shows it ("/a/b/" gives "b"; "/" gives "/").
    static QString displayName(const QString &path);
    // The same, as a view into the path: builds no string.
    static QStringView displayNameView(QStringView path);

    // The extension of the path's last component, without the dot ("/a/b.tar.gz" gives "gz",
    // "/a/Tool.app/" gives "app"); empty when the name has no dot or only a leading one.
    static QString extension(const QString &path);
    // The same, as a view into the path: builds no string.
    static QStringView extensionView(QStringView path);

    // Something exists at the path; a symbolic link counts when its target exists.
    static bool exists(const QString &path);

    // The MIME type name for a file name extension (without the dot).
    static QString typeIdentifierForExtension(const QString &extension);

    // The type is the category's type or derives from it (image/*, video/*, text/* and PDF,
    // audio/*, the archive and compression formats).
    static bool conformsTo(const QString &typeIdentifier, Category category);

    // What an extension says: its type identifier and the first category, in the order image,
    // video, text, audio, archive, that the type conforms to (none if it conforms to none).
    struct ExtensionType
    {
        QString typeIdentifier;
        std::optional<Category> category;
    };
    // Asked for every scanned file: a cached answer takes no lock and builds no string.
    static ExtensionType typeForExtension(QStringView extension);

    FileTypeInfo() = delete;
};
