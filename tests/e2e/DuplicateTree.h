#pragma once

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

// The scanned trees: two roots, A and B, written copy by copy in a known order, 20 ms apart, so
// that their birth times order the copies. What a scan of both must find is known from how
// they were written:
// - a pair of 300 KB files, the older in A;
// - a triple of 1 MB files, the oldest in B;
// - a pair of equal folders of two 40 KB files each, the older in A;
// - two 50 KB files that differ in their last byte (no group);
// - two equal 10 KB files, below the default minimum size of 20 KB (no group).
class DuplicateTree final
{
public:
    struct Group
    {
        // Oldest first.
        QStringList members;
        qint64 memberSize = 0;
        bool isFolder = false;
    };

    // Writes A and B below root.
    explicit DuplicateTree(const QString &root);

    QString rootA() const { return m_rootA; }
    QString rootB() const { return m_rootB; }
    const QList<Group> &groups() const { return m_groups; }
    // What the scan counts as scanned: the folders and files below the roots, less the files
    // below the minimum size.
    qint64 itemsScanned(qint64 minimumFileSize) const;
    // Copies beyond the first of each group, and their bytes.
    qint64 extraCopies() const;
    qint64 extraBytes() const;
    // What "keep the oldest" ticks: every member but the oldest of each group, group by group.
    QStringList keepOldestTicked() const;
    // The copy that stays in the group of a ticked path.
    QString keptCopyOf(const QString &ticked) const;
    qint64 sizeOf(const QString &member) const;
    // Empty when every item written has a birth time and they follow the order written; else
    // what is wrong.
    QString birthTimeProblem() const;

private:
    QString writeFile(const QString &path, const QByteArray &content);
    QString makeFolder(const QString &path);
    void nextCopyLater();

    QString m_rootA;
    QString m_rootB;
    QList<Group> m_groups;
    // The roots first.
    QStringList m_writtenInOrder;
    QMap<QString, qint64> m_fileSizes;
};
