#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh folder for one test, removed with everything in it afterwards. Relative paths are
// taken below the folder; parents are made as needed.
class TemporaryFolder final
{
public:
    TemporaryFolder();

    // The folder's absolute path, without a trailing "/".
    QString path() const { return m_folder.path(); }
    QString filePath(const QString &relativePath) const;

    QString writeFile(const QString &relativePath, const QByteArray &content) const;
    QString makeFolder(const QString &relativePath) const;
    QString makeSymlink(const QString &relativePath, const QString &target) const;

private:
    QTemporaryDir m_folder;
};
