#include "scanning/RQFile.h"

#include "platform/FileTypeInfo.h"
#include "platform/SystemLog.h"
#include "scanning/RQDirectory.h"
#include "foundation/RQStringPath.h"

using namespace Qt::StringLiterals;

std::shared_ptr<RQFile> RQFile::fileWithPath(const QString &path)
{
    return make<RQFile>(path, QUrl());
}

std::shared_ptr<RQFile> RQFile::fileWithURL(const QUrl &url)
{
    return make<RQFile>(url.path(), url);
}

void RQFile::initWithPath(const QString &path)
{
    m_path = path;
    if (isDirectory() && !m_path.endsWith(u'/'))
        m_path += u'/';
    m_fileType = static_cast<qint8>(determineContentType());
    if (!m_path.isEmpty() && FileTypeInfo::displayNameView(m_path).isEmpty())
        SystemLog::debug(u"Missing File Name for path: "_s + m_path);
}

QString RQFile::fileName() const
{
    if (m_seldom && !m_seldom->fileName.isNull())
        return m_seldom->fileName;
    if (m_path.isEmpty())
        return u"Missing File Name"_s;
    return FileTypeInfo::displayName(m_path);
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
    return FileTypeInfo::exists(m_path);
}

QString RQFile::addressText() const
{
    return u"0x"_s + QString::number(reinterpret_cast<quintptr>(this), 16);
}

QString RQFile::description() const
{
    return u"<RQFile %1, path=%2>"_s.arg(addressText(), m_path);
}

qint64 RQFile::determineContentType()
{
    const QStringView extension = FileTypeInfo::extensionView(m_path);
    m_UTI.clear();
    if (isDirectory())
        return extension == "app"_L1 ? Application : Other;
    if (extension == "pdf"_L1)
        return Document;

    const FileTypeInfo::ExtensionType type = FileTypeInfo::typeForExtension(extension);
    m_UTI = type.typeIdentifier;
    if (!type.category)
        return Other;
    switch (*type.category) {
    case FileTypeInfo::Category::Image:
        return Image;
    case FileTypeInfo::Category::Video:
        return Movie;
    case FileTypeInfo::Category::Text:
        return Document;
    case FileTypeInfo::Category::Audio:
        return Audio;
    case FileTypeInfo::Category::Archive:
        return Archive;
    }
    return Other;
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
