#pragma once

#include <QByteArray>
#include <QString>

#include <optional>
#include <vector>

// Writes small Photos library packages for the reader's tests, standing in for the Photos
// application: the databases hold the tables and columns the reader queries (RKMaster,
// RKVersion, RKModelResource) and the media lie under "Masters". Values are bound, so any
// text (quotes included) lands in the database as given. Throws std::runtime_error when a
// file cannot be written.
class PhotosLibraryFixture final
{
public:
    enum class Layout {
        Newer, // "database/photos.db", in write-ahead-log mode
        Older, // "database/Library.apdb" and "database/ImageProxies.apdb"
    };

    struct Master {
        qint64 modelId = 0;
        std::optional<QString> uuid {};
        QString fileName {};
        QString imagePath {}; // below "Masters"
        int isInTrash = 0;
        std::optional<QByteArray> content = QByteArray("image"); // no value: no media file
    };

    struct Version {
        qint64 modelId = 0;
        QString uuid {};
        std::optional<QString> name {};
        std::optional<QString> masterUuid {};
        QString adjustmentUuid = QStringLiteral("UNADJUSTEDNONRAW");
        int isInTrash = 0;
        int showInLibrary = 1;
    };

    struct ModelResource {
        qint64 attachedModelId = 0;
        std::optional<QString> resourceUuid {};
        std::optional<QString> filename {};
    };

    struct Contents {
        std::vector<Master> masters {};
        std::vector<Version> versions {};
        std::vector<ModelResource> modelResources {}; // older layout only
    };

    // Writes the package at packagePath (made with its parents) and answers that path. Writing
    // both layouts into one package gives a library that holds both sets of databases.
    static QString write(const QString &packagePath, Layout layout, const Contents &contents);

    // The main database of a package written by write().
    static QString mainDatabasePath(const QString &packagePath, Layout layout);
    static QString proxyDatabasePath(const QString &packagePath);

    PhotosLibraryFixture() = delete;
};
