#include "scanning/RQFile.h"

#include "platform/FileTypeInfo.h"
#include "platform/SystemLog.h"
#include "scanning/RQContentType.h"
#include "scanning/RQDirectory.h"
#include "foundation/RQStringPath.h"

#include <algorithm>

using namespace Qt::StringLiterals;

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

void RQFile::dropReferencesToChildren(std::vector<std::shared_ptr<RQFile>> &items)
{
    std::erase_if(items, [](const auto &item) { return item->m_parent != nullptr; });
}

void RQFile::initWithPath(const QString &path)
{
    QString &heldPath = seldom().path;
    heldPath = path;
    if (isDirectory() && !heldPath.endsWith(u'/'))
        heldPath += u'/';
    determineContentType();
    if (!heldPath.isEmpty() && FileTypeInfo::displayNameView(heldPath).isEmpty())
        SystemLog::debug(u"Missing File Name for path: "_s + heldPath);
}

void RQFile::initWithName(const QString &name, RQDirectory &folder)
{
    m_name = RQItemName(name);
    m_holdsPath = false;
    m_parent = &folder;
    determineContentType();
    if (name.isEmpty())
        SystemLog::debug(u"Missing File Name for path: "_s + path());
}

QString RQFile::path() const
{
    if (m_holdsPath)
        return m_seldom->path;
    // Measured first and filled from the end, so that the path is one allocation however deep.
    const bool endsWithSlash = isDirectory();
    qsizetype length = m_name.view().size() + (endsWithSlash ? 1 : 0);
    const RQFile *top = m_parent;
    for (; top->isPlacedByName(); top = top->m_parent)
        length += top->m_name.view().size() + 1;
    length += top->m_seldom->path.size();

    QString path(length, Qt::Uninitialized);
    QChar *end = path.data() + length;
    const auto prepend = [&end](QStringView part) {
        end -= part.size();
        std::copy(part.cbegin(), part.cend(), end);
    };
    if (endsWithSlash)
        *--end = u'/';
    prepend(m_name.view());
    for (const RQFile *folder = m_parent; folder->isPlacedByName(); folder = folder->m_parent) {
        *--end = u'/';
        prepend(folder->m_name.view());
    }
    prepend(top->m_seldom->path);
    return path;
}

QStringView RQFile::nameInFolder() const
{
    if (!m_holdsPath)
        return m_name.view();
    QStringView name(m_seldom->path);
    if (name.endsWith(u'/'))
        name.chop(1);
    return name.sliced(name.lastIndexOf(u'/') + 1);
}

QString RQFile::fileName() const
{
    if (m_seldom && !m_seldom->fileName.isNull())
        return m_seldom->fileName;
    const QStringView pathOrName = this->pathOrName();
    if (pathOrName.isEmpty())
        return u"Missing File Name"_s;
    return FileTypeInfo::displayNameView(pathOrName).toString();
}

QStringView RQFile::pathOrName() const
{
    return m_holdsPath ? QStringView(m_seldom->path) : m_name.view();
}

std::shared_ptr<RQDirectory> RQFile::parent() const
{
    // The parent is alive while it is set: a folder that goes clears it first.
    return m_parent ? std::static_pointer_cast<RQDirectory>(m_parent->shared_from_this()) : nullptr;
}

void RQFile::leaveParent()
{
    if (!m_holdsPath) {
        seldom().path = path();
        m_name = RQItemName();
        m_holdsPath = true;
    }
    m_parent = nullptr;
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
    return m_digest ? m_digest->toHex() : QString();
}

void RQFile::setFileHash(const QString &hash)
{
    m_digest = Sha1Digest::fromHex(hash);
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
    const QStringView extension = FileTypeInfo::extensionView(pathOrName());
    m_contentType = isDirectory() ? &RQContentType::forFolder(extension) : &RQContentType::forFile(extension);
    return m_contentType->code();
}

void RQFile::removeFromParent()
{
    if (const auto folder = parent())
        folder->removeChild(shared_from_this());
}

bool RQFile::isChildOfPath(const QString &path) const
{
    const auto folder = parent();
    return folder && rq_isChildOfPath(folder->path(), path);
}
