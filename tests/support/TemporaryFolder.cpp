#include "TemporaryFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <stdexcept>

TemporaryFolder::TemporaryFolder()
{
    if (!m_folder.isValid())
        throw std::runtime_error("cannot make a temporary folder");
}

QString TemporaryFolder::filePath(const QString &relativePath) const
{
    return m_folder.filePath(relativePath);
}

QString TemporaryFolder::writeFile(const QString &relativePath, const QByteArray &content) const
{
    const QString target = filePath(relativePath);
    QDir().mkpath(QFileInfo(target).absolutePath());
    QFile file(target);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(content) != content.size())
        throw std::runtime_error("cannot write a test file");
    return target;
}

QString TemporaryFolder::makeFolder(const QString &relativePath) const
{
    const QString target = filePath(relativePath);
    if (!QDir().mkpath(target))
        throw std::runtime_error("cannot make a test folder");
    return target;
}

QString TemporaryFolder::makeSymlink(const QString &relativePath, const QString &target) const
{
    const QString link = filePath(relativePath);
    QDir().mkpath(QFileInfo(link).absolutePath());
    if (!QFile::link(target, link))
        throw std::runtime_error("cannot make a test link");
    return link;
}
