#pragma once

#include "removal/KMHSFileRemover.h"
#include "scanning/RQDirectory.h"
#include "support/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <QByteArray>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// Everything a delegate heard, in order.
class RecordingDelegate final : public KMHSFileRemoverDelegate
{
public:
    void fileRemoverDidRemoveFileWithDetails(KMHSFileRemover *remover, KMHSDetails details) override;
    void fileRemoverDidStartCreatingAliases(KMHSFileRemover *remover) override;
    void fileRemoverDidCompleteWithErrors(KMHSFileRemover *remover, const KMHSErrorDictionary &errors,
                                          qint64 totalRemoved, quint64 spaceFreed) override;

    QList<KMHSDetails> progress;
    int completions = 0;
    bool completedAfterProgress = true;
    KMHSErrorDictionary errors;
    qint64 totalRemoved = -1;
    quint64 spaceFreed = 0;
};

// A test's own disk: the files to remove lie under data/, and the home folder (with the XDG
// data folder, so the home trash) under home/, both in a fresh temporary folder; the working
// folder is an empty folder of its own. Nothing outside it is touched: not the user's Trash,
// not the user's settings.
class RemovalFixture : public ::testing::Test
{
public:
    // Every entry below data/: "F:" and the content for files, "D" for folders, "L:" and the
    // target for links, by path relative to data/.
    using Snapshot = QMap<QString, QByteArray>;

    void SetUp() override;
    void TearDown() override;

    // Test files and folders; the items carry their content's size.
    QString dataPath(const QString &relative) const;
    std::shared_ptr<RQFile> file(const QString &relative, const QByteArray &content);
    std::shared_ptr<RQDirectory> folder(const QString &relative);
    QString homeTrash() const;
    // The names in the home trash's "files" folder.
    QStringList trashedNames() const;
    Snapshot snapshot() const;
    // The bytes of the regular files of before that are no longer there as they were.
    quint64 bytesThatLeft(const Snapshot &before) const;
    // Every entry of before that lies outside the removed items is still there, unchanged.
    void expectUntouchedExcept(const Snapshot &before, const QStringList &removedRelative) const;

    // Walks data/ (or the folder below it) as a scan does, so that its items carry what the scan
    // saw and know their folders up to the root. The items stay until the test ends.
    void scan(const QString &relativeRoot = QString());
    // An item of the scans so far by its path relative to data/ (a folder's ends in "/"); null
    // when no scan met it.
    std::shared_ptr<RQFile> scanned(const QString &relative) const;

    // The immutable flag stops even root. false when the file system cannot set it.
    bool makeImmutable(const QString &path);
    // Makes the folder below data/ refuse the removal of its entries: immutable, or else, for a
    // user other than root, read-only until the test ends. false when neither holds here.
    bool sealFolder(const QString &relative);
    // A fresh tmpfs below the data folder, with tmpfs mount options; false when this process
    // may not mount.
    bool mountTmpfs(const QString &relative, const char *options = "size=1m");
    // Shows data/source again at data/target (a new folder); false when this process may not
    // mount.
    bool bindMount(const QString &sourceRelative, const QString &targetRelative);
    void remountReadOnly(const QString &relative);

    struct Outcome
    {
        QList<KMHSDetails> progress;
        KMHSErrorDictionary errors;
        qint64 totalRemoved = -1;
        quint64 spaceFreed = 0;
    };
    Outcome remove(const KMHSFileRemover::FileList &files, bool useTrash, bool makeLinks = false);

    TemporaryFolder m_folder;

private:
    std::vector<std::shared_ptr<RQFile>> m_scanned;
    QStringList m_immutable;
    QStringList m_readOnly;
    QStringList m_mounts;
    QString m_previousCurrent;
    QMap<QByteArray, std::optional<QByteArray>> m_previousEnvironment;
};
