#pragma once

#include "platform/PhotosApplication.h"
#include "platform/ScriptingBridge.h"
#include "platform/iPhotoApplication.h"

#include <QHash>
#include <QList>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

// Stands in for the scripting services this platform lacks: a Photos and an iPhoto that keep
// their photos in memory and record every call. Installed as the current bridge while it lives.

// The calls every scripting object answers, on top of one of the scripting interfaces.
template <typename Base>
class Fake : public Base
{
public:
    Fake(QString className, QString identifier, QSet<QString> selectors = {})
        : m_className(std::move(className)), m_id(std::move(identifier)), m_selectors(std::move(selectors))
    {
    }
    QString className() const override { return m_className; }
    bool respondsToSelector(const QString &selector) const override { return m_selectors.contains(selector); }
    QString id() const override { return m_id; }

private:
    QString m_className;
    QString m_id;
    QSet<QString> m_selectors;
};

using FakeObject = Fake<ScriptingObject>;

template <typename Element>
class FakeElements final : public ScriptingElementArray<Element>
{
public:
    using Finder = std::function<std::shared_ptr<Element>(const QString &)>;
    using Filter = std::function<QList<std::shared_ptr<Element>>(const ScriptingPredicate &)>;

    FakeElements(Finder finder, Filter filter) : m_finder(std::move(finder)), m_filter(std::move(filter)) {}
    std::shared_ptr<Element> objectWithID(const QString &identifier) const override { return m_finder(identifier); }
    QList<std::shared_ptr<Element>> filteredArrayUsingPredicate(const ScriptingPredicate &predicate) const override
    {
        return m_filter(predicate);
    }

private:
    Finder m_finder;
    Filter m_filter;
};

// An application that cannot be scripted, as this platform gives for every identifier.
class FakeUnscriptable final : public Fake<ScriptingApplication>
{
public:
    FakeUnscriptable() : Fake(QStringLiteral("ScriptingApplication"), QString()) {}
    bool isRunning() const override { return false; }
    void activate() override {}
};

class FakePhotos final : public Fake<PhotosApplication>
{
public:
    FakePhotos() : Fake(QStringLiteral("PhotosApplication"), QString()) {}
    bool isRunning() const override { return running; }
    void activate() override
    {
        ++activations;
        running = true;
    }
    std::shared_ptr<ScriptingElementArray<PhotosMediaItem>> mediaItems() override
    {
        ++mediaItemsCalls;
        return std::make_shared<FakeElements<PhotosMediaItem>>(
            [this](const QString &identifier) {
                return std::make_shared<FakeObject>(QStringLiteral("PhotosMediaItem"),
                                                    photoIDs.contains(identifier) ? identifier : QString());
            },
            [](const ScriptingPredicate &) { return QList<std::shared_ptr<PhotosMediaItem>>(); });
    }
    std::shared_ptr<ScriptingElementArray<PhotosAlbum>> containers() override
    {
        return std::make_shared<FakeElements<PhotosAlbum>>(
            [](const QString &identifier) {
                return std::make_shared<FakeObject>(QStringLiteral("PhotosAlbum"), identifier);
            },
            [](const ScriptingPredicate &) { return QList<std::shared_ptr<PhotosAlbum>>(); });
    }
    void add(const QList<std::shared_ptr<PhotosMediaItem>> &items, const std::shared_ptr<PhotosAlbum> &album) override
    {
        QStringList identifiers;
        for (const auto &item : items)
            identifiers.append(item->id());
        added.append(identifiers);
        addedTo.append(album ? album->id() : QString());
    }

    QSet<QString> photoIDs;
    bool running = false;
    int activations = 0;
    int mediaItemsCalls = 0;
    QList<QStringList> added;
    QStringList addedTo;
};

class FakeiPhotoPhoto final : public Fake<iPhotoPhoto>
{
public:
    FakeiPhotoPhoto(QString identifier, QString image, QString original, QStringList *log)
        : Fake(QStringLiteral("iPhotoPhoto"), std::move(identifier))
        , m_imagePath(std::move(image)), m_originalPath(std::move(original)), m_log(log)
    {
    }
    QString imagePath() const override { return m_imagePath; }
    QString originalPath() const override { return m_originalPath; }
    void removeFrom(const std::shared_ptr<iPhotoAlbum> &album) override
    {
        m_log->append(QStringLiteral("remove %1 from %2").arg(this->id(), album->id()));
    }
    void moveTo(const std::shared_ptr<iPhotoAlbum> &album) override
    {
        m_log->append(QStringLiteral("move %1 to %2").arg(this->id(), album->id()));
    }

private:
    QString m_imagePath;
    QString m_originalPath;
    QStringList *m_log;
};

class FakeiPhotoAlbum final : public Fake<iPhotoAlbum>
{
public:
    FakeiPhotoAlbum(QString identifier, bool answersPhotos, QList<std::shared_ptr<iPhotoPhoto>> *photos)
        : Fake(QStringLiteral("iPhotoAlbum"), std::move(identifier),
                     answersPhotos ? QSet<QString>{QStringLiteral("photos")} : QSet<QString>())
        , m_photos(photos)
    {
    }
    std::shared_ptr<ScriptingElementArray<iPhotoPhoto>> photos() override
    {
        if (!this->respondsToSelector(QStringLiteral("photos")))
            return nullptr;
        auto *photos = m_photos;
        return std::make_shared<FakeElements<iPhotoPhoto>>(
            [](const QString &) { return nullptr; },
            [photos](const ScriptingPredicate &predicate) {
                QList<std::shared_ptr<iPhotoPhoto>> matches;
                for (const auto &photo : *photos) {
                    const bool match = predicate.evaluate([&photo](const QString &property) {
                        if (property == QStringLiteral("imagePath"))
                            return QVariant(photo->imagePath());
                        if (property == QStringLiteral("originalPath"))
                            return QVariant(photo->originalPath());
                        return QVariant();
                    });
                    if (match)
                        matches.append(photo);
                }
                return matches;
            });
    }

private:
    QList<std::shared_ptr<iPhotoPhoto>> *m_photos;
};

class FakeiPhoto final : public Fake<iPhotoApplication>
{
public:
    explicit FakeiPhoto(QSet<QString> selectors = {QStringLiteral("photoLibraryAlbum"), QStringLiteral("trashAlbum")},
                        bool libraryAnswersPhotos = true)
        : Fake(QStringLiteral("IPhotoApplication"), QString(), std::move(selectors))
        , m_library(std::make_shared<FakeiPhotoAlbum>(QStringLiteral("library"), libraryAnswersPhotos, &photos))
        , m_trash(std::make_shared<FakeiPhotoAlbum>(QStringLiteral("trash"), true, &photos))
    {
    }
    bool isRunning() const override { return running; }
    void activate() override
    {
        ++activations;
        running = true;
    }
    std::shared_ptr<iPhotoAlbum> photoLibraryAlbum() override
    {
        return respondsToSelector(QStringLiteral("photoLibraryAlbum")) ? m_library : nullptr;
    }
    std::shared_ptr<iPhotoAlbum> trashAlbum() override
    {
        return respondsToSelector(QStringLiteral("trashAlbum")) ? m_trash : nullptr;
    }
    void addPhoto(const QString &identifier, const QString &imagePath, const QString &originalPath)
    {
        photos.append(std::make_shared<FakeiPhotoPhoto>(identifier, imagePath, originalPath, &log));
    }

    QList<std::shared_ptr<iPhotoPhoto>> photos;
    QStringList log;
    bool running = false;
    int activations = 0;

private:
    std::shared_ptr<FakeiPhotoAlbum> m_library;
    std::shared_ptr<FakeiPhotoAlbum> m_trash;
};

class FakeScriptingBridge final : public ScriptingBridge
{
public:
    FakeScriptingBridge() { setCurrent(this); }
    ~FakeScriptingBridge() override { setCurrent(nullptr); }

    std::shared_ptr<ScriptingApplication> applicationWithBundleIdentifier(const QString &bundleIdentifier) override
    {
        requested.append(bundleIdentifier);
        if (photos && bundleIdentifier == QStringLiteral("com.apple.Photos"))
            return photos;
        if (iPhoto && bundleIdentifier == QStringLiteral("com.apple.iPhoto"))
            return iPhoto;
        return std::make_shared<FakeUnscriptable>();
    }
    std::optional<qint32> determinePermissionToAutomateTarget(const QString &bundleIdentifier, quint32 eventClass,
                                                              quint32 eventID, bool askUserIfNeeded) override
    {
        permissionRequests.append(QStringLiteral("%1 %2 %3 %4")
                                      .arg(bundleIdentifier)
                                      .arg(eventClass, 0, 16)
                                      .arg(eventID, 0, 16)
                                      .arg(askUserIfNeeded));
        return permission;
    }
    std::optional<QString> executeScript(const QByteArray &script) override
    {
        scripts.append(script);
        return scriptResult;
    }
    void launchApplicationHidden(const QString &bundleIdentifier) override { launched.append(bundleIdentifier); }
    void activateIgnoringOtherApps() override { ++frontActivations; }

    std::shared_ptr<FakePhotos> photos;
    std::shared_ptr<FakeiPhoto> iPhoto;
    // No value: the system has no permission service.
    std::optional<qint32> permission;
    std::optional<QString> scriptResult = QStringLiteral("album-1");
    QStringList requested;
    QStringList permissionRequests;
    QList<QByteArray> scripts;
    QStringList launched;
    int frontActivations = 0;
};
