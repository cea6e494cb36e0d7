#pragma once

#include "platform/FileDescriptor.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>

// The record, in the application's data folder, of where a removal may make its aside folders, so
// that what a removal cut short (a crash, a kill) left in one is found again: a record is written
// and synced before the first aside folder is made, held locked while its removal runs and
// dropped once its aside folders are gone. Blocking; any thread.
class AsideJournal final
{
public:
    // Records the aside folders of the name in the folders (absolute paths); null with errno set
    // when the record cannot be written.
    static std::unique_ptr<AsideJournal> begin(const QByteArray &asideName, const QStringList &folders);
    ~AsideJournal() = default;
    AsideJournal(const AsideJournal &) = delete;
    AsideJournal &operator=(const AsideJournal &) = delete;

    // The aside folders are all gone: the record goes too.
    void drop();

    // For each record whose removal no longer runs: every entry left in its aside folders is put
    // back where it was (never over anything), or, where a link already took its place, removed
    // as its removal would have; each with a log line. An entry whose name is taken by anything
    // else stays where it is, with a log line, and so does its record, for the next start.
    static void recoverLeftOvers();
    static QString folderPath();

private:
    AsideJournal(int recordFd, int folderFd, QByteArray name)
        : m_record(recordFd), m_folder(folderFd), m_name(std::move(name))
    {
    }

    // Open and locked while the removal runs: the lock tells a recovery that it still does.
    FileDescriptor m_record;
    FileDescriptor m_folder;
    QByteArray m_name;
};
