#include "support/RemovalFixture.h"

#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQDuplicateFinderWalk.h"
#include "support/EventLoop.h"
#include "support/ImmutableFlag.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

void RecordingDelegate::fileRemoverDidRemoveFileWithDetails(KMHSFileRemover *, KMHSDetails details)
{
    progress.append(details);
    if (completions > 0)
        completedAfterProgress = false;
}

void RecordingDelegate::fileRemoverDidStartCreatingAliases(KMHSFileRemover *) {}

void RecordingDelegate::fileRemoverDidCompleteWithErrors(KMHSFileRemover *,
                                                         const KMHSErrorDictionary &completionErrors,
                                                         qint64 completionRemoved, quint64 freed)
{
    ++completions;
    errors = completionErrors;
    totalRemoved = completionRemoved;
    spaceFreed = freed;
}

namespace {

// The preferences live in one settings file per test process, made on first use.
const QTemporaryDir &configFolder()
{
    static const QTemporaryDir folder;
    return folder;
}

} // namespace

void RemovalFixture::SetUp()
{
    const QMap<QByteArray, QString> environment{
        {"HOME", m_folder.makeFolder(u"home"_s)},
        {"XDG_DATA_HOME", m_folder.filePath(u"home/.local/share"_s)},
        {"XDG_CONFIG_HOME", configFolder().path()},
    };
    for (auto entry = environment.cbegin(); entry != environment.cend(); ++entry) {
        m_previousEnvironment.insert(entry.key(), qEnvironmentVariableIsSet(entry.key().constData())
                                                      ? std::optional(qgetenv(entry.key().constData()))
                                                      : std::nullopt);
        qputenv(entry.key().constData(), entry.value().toLocal8Bit());
    }
    m_folder.makeFolder(u"data"_s);
    m_previousCurrent = QDir::currentPath();
    QDir::setCurrent(m_folder.makeFolder(u"working"_s));
}

void RemovalFixture::TearDown()
{
    // Items that name each other as the copy that stays would keep each other alive.
    for (const auto &item : m_scanned)
        item->setAliasDestinationFile(nullptr);
    EXPECT_TRUE(QDir(m_folder.filePath(u"working"_s)).isEmpty()) << "something landed in the working folder";
    QDir::setCurrent(m_previousCurrent);
    for (const QString &path : std::as_const(m_immutable))
        setImmutableFlag(path, false);
    for (const QString &path : std::as_const(m_readOnly))
        ::chmod(QFile::encodeName(path).constData(), 0755);
    for (const QString &mount : std::as_const(m_mounts))
        ::umount2(QFile::encodeName(mount).constData(), MNT_DETACH);
    for (auto entry = m_previousEnvironment.cbegin(); entry != m_previousEnvironment.cend(); ++entry) {
        if (entry.value())
            qputenv(entry.key().constData(), *entry.value());
        else
            qunsetenv(entry.key().constData());
    }
}

QString RemovalFixture::dataPath(const QString &relative) const
{
    return m_folder.filePath(u"data/"_s + relative);
}

std::shared_ptr<RQFile> RemovalFixture::file(const QString &relative, const QByteArray &content)
{
    auto item = RQFile::fileWithPath(m_folder.writeFile(u"data/"_s + relative, content));
    item->setFileSize(double(content.size()));
    return item;
}

std::shared_ptr<RQDirectory> RemovalFixture::folder(const QString &relative)
{
    return RQDirectory::fileWithPath(m_folder.makeFolder(u"data/"_s + relative));
}

QString RemovalFixture::homeTrash() const
{
    return m_folder.filePath(u"home/.local/share/Trash"_s);
}

QStringList RemovalFixture::trashedNames() const
{
    return QDir(homeTrash() + "/files"_L1).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden,
                                                     QDir::Name);
}

RemovalFixture::Snapshot RemovalFixture::snapshot() const
{
    Snapshot entries;
    const QString root = dataPath(QString());
    QDirIterator iterator(root, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
                          QDirIterator::Subdirectories);
    while (iterator.hasNext()) {
        const QString path = iterator.next();
        const QFileInfo info(path);
        QByteArray value;
        if (info.isSymLink()) {
            value = QByteArray("L:" + info.symLinkTarget().toUtf8());
        } else if (info.isDir()) {
            value = "D";
        } else {
            QFile content(path);
            value = content.open(QIODevice::ReadOnly) ? QByteArray("F:" + content.readAll())
                                                      : QByteArray("unreadable");
        }
        entries.insert(path.mid(root.size()), value);
    }
    return entries;
}

quint64 RemovalFixture::bytesThatLeft(const Snapshot &before) const
{
    const Snapshot after = snapshot();
    quint64 bytes = 0;
    for (auto entry = before.cbegin(); entry != before.cend(); ++entry) {
        if (entry.value().startsWith("F:") && after.value(entry.key()) != entry.value())
            bytes += quint64(entry.value().size() - 2);
    }
    return bytes;
}

void RemovalFixture::expectUntouchedExcept(const Snapshot &before, const QStringList &removedRelative) const
{
    const Snapshot after = snapshot();
    for (auto entry = before.cbegin(); entry != before.cend(); ++entry) {
        const bool removed = std::any_of(removedRelative.cbegin(), removedRelative.cend(),
                                         [&entry](const QString &item) {
                                             return entry.key() == item || entry.key().startsWith(item + u'/');
                                         });
        if (removed)
            continue;
        EXPECT_EQ(after.value(entry.key()), entry.value()) << "changed: " << entry.key().toStdString();
    }
}

void RemovalFixture::scan(const QString &relativeRoot)
{
    const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({dataPath(relativeRoot)}, 0);
    RQDuplicateFinderScan walked;
    ASSERT_TRUE(RQDuplicateFinderWalk(*finder, walked).walkRoots());
    // The finder's reports are queued for this thread; they run while it still lives.
    QCoreApplication::sendPostedEvents();
    walked.forEachItem([this](const auto &item) { m_scanned.push_back(item); });
}

std::shared_ptr<RQFile> RemovalFixture::scanned(const QString &relative) const
{
    const QString path = dataPath(relative);
    const auto found = std::find_if(m_scanned.cbegin(), m_scanned.cend(),
                                    [&path](const auto &item) { return item->path() == path; });
    return found == m_scanned.cend() ? nullptr : *found;
}

bool RemovalFixture::makeImmutable(const QString &path)
{
    if (!setImmutableFlag(path, true))
        return false;
    m_immutable.prepend(path);
    return true;
}

bool RemovalFixture::sealFolder(const QString &relative)
{
    const QString path = dataPath(relative);
    if (makeImmutable(path))
        return true;
    if (geteuid() == 0 || ::chmod(QFile::encodeName(path).constData(), 0555) != 0)
        return false;
    m_readOnly.prepend(path);
    return true;
}

bool RemovalFixture::mountTmpfs(const QString &relative, const char *options)
{
    const QString target = m_folder.makeFolder(u"data/"_s + relative);
    if (::mount("tmpfs", QFile::encodeName(target).constData(), "tmpfs", 0, options) != 0)
        return false;
    m_mounts.prepend(target);
    return true;
}

bool RemovalFixture::bindMount(const QString &sourceRelative, const QString &targetRelative)
{
    const QString target = m_folder.makeFolder(u"data/"_s + targetRelative);
    if (::mount(QFile::encodeName(dataPath(sourceRelative)).constData(), QFile::encodeName(target).constData(),
                nullptr, MS_BIND, nullptr)
        != 0)
        return false;
    m_mounts.prepend(target);
    return true;
}

void RemovalFixture::remountReadOnly(const QString &relative)
{
    ASSERT_EQ(::mount("tmpfs", QFile::encodeName(dataPath(relative)).constData(), "tmpfs",
                      MS_REMOUNT | MS_RDONLY, "size=1m"),
              0);
}

RemovalFixture::Outcome RemovalFixture::remove(const KMHSFileRemover::FileList &files, bool useTrash,
                                               bool makeLinks)
{
    RecordingDelegate delegate;
    {
        KMHSFileRemover remover;
        remover.setUseTrash(useTrash);
        remover.setMakeAliases(makeLinks);
        remover.setDelegate(&delegate);
        remover.removeFiles(files);
        EXPECT_TRUE(processEventsUntil([&delegate] { return delegate.completions > 0; }, 60000));
    }
    EXPECT_EQ(delegate.completions, 1);
    EXPECT_TRUE(delegate.completedAfterProgress);
    return Outcome{delegate.progress, delegate.errors, delegate.totalRemoved, delegate.spaceFreed};
}
