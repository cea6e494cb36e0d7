#pragma once

#include <QDateTime>
#include <QString>
#include <QUrl>
#include <QVariantMap>

#include <memory>

// One file-system event as the watcher delivers it. Immutable and shared: a copy is the same
// object.
class CDEvent final
{
public:
    // The event flags, one bit each, in this order.
    enum Flag : quint32 {
        MustScanSubDirectories = 1u << 0,
        UserDropped = 1u << 1,
        KernelDropped = 1u << 2,
        EventIdentifiersWrapped = 1u << 3,
        HistoryDone = 1u << 4,
        RootChanged = 1u << 5,
        VolumeMounted = 1u << 6,
        VolumeUnmounted = 1u << 7,
        Created = 1u << 8,
        Removed = 1u << 9,
        InodeMetadataModified = 1u << 10,
        Renamed = 1u << 11,
        Modified = 1u << 12,
        FinderInfoModified = 1u << 13,
        ChangedOwner = 1u << 14,
        XattrModified = 1u << 15,
        IsFile = 1u << 16,
        IsDir = 1u << 17,
        IsSymlink = 1u << 18,
    };

    static std::shared_ptr<const CDEvent> eventWithIdentifier(quint64 identifier,
                                                              const QDateTime &date,
                                                              const QUrl &URL, quint32 flags);

    CDEvent(quint64 identifier, const QDateTime &date, const QUrl &URL, quint32 flags);
    CDEvent(const CDEvent &) = delete;
    CDEvent &operator=(const CDEvent &) = delete;

    quint64 identifier() const { return m_identifier; }
    // When the watcher received the event, not when it happened.
    QDateTime date() const { return m_date; }
    QUrl URL() const { return m_URL; }
    quint32 flags() const { return m_flags; }

    bool mustRescanSubDirectories() const { return has(MustScanSubDirectories); }
    bool isUserDropped() const { return has(UserDropped); }
    bool isKernelDropped() const { return has(KernelDropped); }
    bool isEventIdentifiersWrapped() const { return has(EventIdentifiersWrapped); }
    bool isHistoryDone() const { return has(HistoryDone); }
    bool isRootChanged() const { return has(RootChanged); }
    bool didVolumeMount() const { return has(VolumeMounted); }
    bool didVolumeUnmount() const { return has(VolumeUnmounted); }
    bool isCreated() const { return has(Created); }
    bool isRemoved() const { return has(Removed); }
    bool isInodeMetadataModified() const { return has(InodeMetadataModified); }
    bool isRenamed() const { return has(Renamed); }
    bool isModified() const { return has(Modified); }
    bool isFinderInfoModified() const { return has(FinderInfoModified); }
    bool didChangeOwner() const { return has(ChangedOwner); }
    bool isXattrModified() const { return has(XattrModified); }
    bool isFile() const { return has(IsFile); }
    bool isDir() const { return has(IsDir); }
    bool isSymlink() const { return has(IsSymlink); }
    bool isGenericChange() const { return m_flags == 0; }

    QString description() const;

    // Keyed coding under "identifier", "flags", "date" and "URL". Decoding answers nothing
    // when a key is missing or holds a value of another type.
    QVariantMap encode() const;
    static std::shared_ptr<const CDEvent> decode(const QVariantMap &coder);

private:
    bool has(Flag flag) const { return (m_flags & flag) != 0; }

    quint64 m_identifier;
    QDateTime m_date;
    QUrl m_URL;
    quint32 m_flags;
};
