#include "scanning/RQFile.h"

#include "platform/FileTypeInfo.h"
#include "platform/SystemLog.h"
#include "scanning/RQContentType.h"
#include "scanning/RQDirectory.h"
#include "foundation/RQStringPath.h"

#include <algorithm>

using namespace Qt::StringLiterals;

// On 64-bit systems: with its reference counts, an item fills a 112-byte block.
static_assert(sizeof(void *) != 8 || sizeof(RQFile) <= 88, "a scan keeps millions of items");

std::shared_ptr<RQFile> RQFile::fileWithPath(const QString &path)
{
    return make<RQFile>(path, QUrl());
}

std::shared_ptr<RQFile> RQFile::fileWithURL(const QUrl &url)
{
    return make<RQFile>(url.path(), url);
}

std::shared_ptr<RQFile> RQFile::fileWithName(const QString &name, RQDirectory &folder)
{
    return makeInFolder<RQFile>(name, folder);
}

void RQFile::initWithPath(const QString &path)
{
    QString &heldPath = seldom().path;
    heldPath = path;
    if (isDirectory() && !heldPath.endsWith(u'/'))
        heldPath += u'/';
    setContentTypeFrom(heldPath);
    if (!heldPath.isEmpty() && FileTypeInfo::displayNameView(heldPath).isEmpty())
        SystemLog::debug(u"Missing File Name for path: "_s + heldPath);
}

void RQFile::initWithName(const QString &name, RQDirectory &folder)
{
    m_name = RQItemName(name);
    setFlag(HoldsPath, false);
    m_parent = &folder;
    setContentTypeFrom(name);
    if (name.isEmpty())
        SystemLog::debug(u"Missing File Name for path: "_s + path());
}

QString RQFile::path() const
{
    if (!isPlacedByName())
        return m_seldom->path;
    // Measured first and filled from the end, so that the path is one allocation however deep.
    const bool endsWithSlash = isDirectory();
    qsizetype length = m_name.size() + (endsWithSlash ? 1 : 0);
    const RQFile *top = m_parent;
    for (; top->isPlacedByName(); top = top->m_parent)
        length += top->m_name.size() + 1;
    const QString &topPath = top->m_seldom->path;
    length += topPath.size();

    QString path(length, Qt::Uninitialized);
    QChar *end = path.data() + length;
    const auto prepend = [&end](const RQItemName &name) {
        end -= name.size();
        name.copyTo(end);
    };
    if (endsWithSlash)
        *--end = u'/';
    prepend(m_name);
    for (const RQFile *folder = m_parent; folder->isPlacedByName(); folder = folder->m_parent) {
        *--end = u'/';
        prepend(folder->m_name);
    }
    std::copy(topPath.cbegin(), topPath.cend(), path.data());
    return path;
}

QString RQFile::nameInFolder() const
{
    if (isPlacedByName())
        return m_name.toString();
    QStringView name(m_seldom->path);
    if (name.endsWith(u'/'))
        name.chop(1);
    return name.sliced(name.lastIndexOf(u'/') + 1).toString();
}

void RQFile::appendNameInFolderUtf8(QByteArray &text) const
{
    if (isPlacedByName())
        m_name.appendUtf8To(text);
    else
        text += nameInFolder().toUtf8();
}

QUrl RQFile::fileURL() const
{
    if (m_seldom && !m_seldom->fileURL.isEmpty())
        return m_seldom->fileURL;
    return QUrl::fromLocalFile(path());
}

QString RQFile::fileName() const
{
    if (m_seldom && !m_seldom->fileName.isNull())
        return m_seldom->fileName;
    const bool placedByName = isPlacedByName();
    const bool missing = placedByName ? m_name.isEmpty() : m_seldom->path.isEmpty();
    if (missing)
        return u"Missing File Name"_s;
    // A name holds no "/", so it is its own last component.
    return placedByName ? m_name.toString() : FileTypeInfo::displayName(m_seldom->path);
}

std::shared_ptr<RQDirectory> RQFile::parent() const
{
    // The parent is alive while it is set: a folder that goes clears it first.
    return m_parent ? m_parent->shared_from_this() : nullptr;
}

QDateTime RQFile::modificationDate() const
{
    if (!hasFlag(HasModificationDate))
        return {};
    constexpr std::int64_t nanosecondsPerMillisecond = 1'000'000;
    // Rounded down, also before 1970, as the seconds and nanoseconds of the file system are.
    std::int64_t milliseconds = m_modificationTimeNs / nanosecondsPerMillisecond;
    if (m_modificationTimeNs % nanosecondsPerMillisecond < 0)
        --milliseconds;
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

void RQFile::setModificationDate(const QDateTime &date)
{
    setFlag(HasModificationDate, date.isValid());
    m_modificationTimeNs = date.isValid() ? date.toMSecsSinceEpoch() * 1'000'000 : 0;
}

RQFileIdentity RQFile::identity() const
{
    const RQFileIdentity::Kind known = kind();
    if (known == RQFileIdentity::Kind::Unknown)
        return {};
    return {device(), m_inode, static_cast<std::int64_t>(m_size), m_modificationTimeNs, known};
}

void RQFile::setIdentity(const RQFileIdentity &identity)
{
    setDevice(identity.device);
    m_inode = identity.inode;
    m_size = static_cast<double>(identity.size);
    m_modificationTimeNs = identity.modificationTimeNs;
    const auto kindBits = static_cast<std::uint16_t>(static_cast<unsigned>(identity.kind) << kindShift);
    setFlagBits(kindMask | HasModificationDate, kindBits | (identity.isKnown() ? HasModificationDate : 0));
}

std::uint64_t RQFile::device() const
{
    if (isDirectory())
        return static_cast<const RQDirectory *>(this)->m_device;
    if (hasFlag(DeviceKeptApart))
        return m_seldom->device;
    return m_parent ? m_parent->m_device : 0;
}

void RQFile::setDevice(std::uint64_t device)
{
    if (isDirectory()) {
        static_cast<RQDirectory *>(this)->setOwnDevice(device);
        return;
    }
    const bool apart = device != (m_parent ? m_parent->m_device : 0);
    if (apart)
        seldom().device = device;
    setFlag(DeviceKeptApart, apart);
}

void RQFile::setParent(RQDirectory *folder)
{
    const std::uint64_t kept = device();
    m_parent = folder;
    setDevice(kept);
}

void RQFile::setFlagBits(std::uint16_t mask, std::uint16_t bits)
{
    std::uint16_t flags = m_flags.load(std::memory_order_relaxed);
    std::uint16_t changed = 0;
    do {
        changed = static_cast<std::uint16_t>((flags & ~mask) | bits);
        // Most settings set what is already there (the walk tells every item it is not on a
        // network volume): no write then.
        if (changed == flags)
            return;
    } while (!m_flags.compare_exchange_weak(flags, changed, std::memory_order_relaxed));
}

void RQFile::leaveParent()
{
    if (isPlacedByName()) {
        seldom().path = path();
        m_name = RQItemName();
        setFlag(HoldsPath, true);
    }
    setParent(nullptr);
}

void RQFile::setAliasDestinationFile(const std::shared_ptr<RQFile> &file)
{
    if (file || m_seldom)
        seldom().aliasDestinationFile = file;
}

RQFile::Seldom &RQFile::seldom()
{
    if (!m_seldom)
        m_seldom = std::make_unique<Seldom>();
    return *m_seldom;
}

QString RQFile::fileHash() const
{
    const std::optional<Sha1Digest> digest = contentDigest();
    return digest ? digest->toHex() : QString();
}

void RQFile::setFileHash(const QString &hash)
{
    setContentDigest(Sha1Digest::fromHex(hash));
}

void RQFile::setContentDigest(const std::optional<Sha1Digest> &digest)
{
    m_digest = digest.value_or(Sha1Digest());
    setFlag(HasDigest, digest.has_value());
}

std::optional<Sha1Digest> RQFile::contentDigest() const
{
    if (!hasFlag(HasDigest))
        return std::nullopt;
    return m_digest;
}

bool RQFile::exists() const
{
    return FileTypeInfo::exists(path());
}

QString RQFile::addressText() const
{
    return u"0x"_s + QString::number(reinterpret_cast<quintptr>(this), 16);
}

QString RQFile::description() const
{
    return u"<RQFile %1, path=%2>"_s.arg(addressText(), path());
}

qint64 RQFile::determineContentType()
{
    setContentTypeFrom(isPlacedByName() ? m_name.toString() : m_seldom->path);
    return fileType();
}

void RQFile::setContentTypeFrom(QStringView pathOrName)
{
    const QStringView extension = FileTypeInfo::extensionView(pathOrName);
    m_contentType = (isDirectory() ? RQContentType::forFolder(extension) : RQContentType::forFile(extension)).index();
}

void RQFile::removeFromParent()
{
    if (m_parent)
        m_parent->removeChild(*this);
}

bool RQFile::isChildOfPath(const QString &path) const
{
    const auto folder = parent();
    return folder && rq_isChildOfPath(folder->path(), path);
}
