#pragma once

#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QFile>
#include <QString>

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

// Builders of scan results for the results browser's tests: items with a size and a creation
// date (days after a fixed day; none for "no birth time"), and groups of them.
namespace results {

using Groups = std::vector<std::shared_ptr<RQDuplicateFiles>>;

inline QDateTime day(int days)
{
    return QDateTime(QDate(2020, 1, 1), QTime(12, 0), Qt::UTC).addDays(days);
}

inline std::shared_ptr<RQFile> file(const QString &path, double size = 100,
                                    std::optional<int> createdDay = std::nullopt)
{
    auto item = RQFile::fileWithPath(path);
    item->setFileSize(size);
    if (createdDay)
        item->setCreationDate(day(*createdDay));
    return item;
}

inline std::shared_ptr<RQFile> folder(const QString &path, double size, bool isPackage = false)
{
    auto item = RQDirectory::fileWithPath(path);
    item->setIsPackage(isPackage);
    item->setIgnoredSize(size);
    return item;
}

inline std::shared_ptr<RQDuplicateFiles> group(const RQDuplicateFiles::Members &members)
{
    return RQDuplicateFiles::duplicateFilesWithHash(members.front()->path(), members);
}

// A group of count files named name in folders d0/ .. d<count-1>/ below base, each of the
// size, created on days firstDay, firstDay + 1, ...
inline std::shared_ptr<RQDuplicateFiles> filesGroup(const QString &base, const QString &name, int count,
                                                    double size = 100, int firstDay = 0)
{
    RQDuplicateFiles::Members members;
    for (int index = 0; index < count; ++index)
        members.push_back(file(QStringLiteral("%1/d%2/%3").arg(base).arg(index).arg(name), size, firstDay + index));
    return group(members);
}

// "x.." with x for a ticked member and . for an unticked one, in member order.
inline QString ticks(const RQDuplicateFiles &group)
{
    QString marks;
    for (const auto &member : group.duplicates())
        marks.append(member->isSelected() ? QLatin1Char('x') : QLatin1Char('.'));
    return marks;
}

inline void setTicks(const RQDuplicateFiles &group, const QString &marks)
{
    for (std::size_t index = 0; index < group.duplicates().size(); ++index)
        group.duplicates()[index]->setSelected(marks.at(qsizetype(index)) == QLatin1Char('x'));
}

// Every handed-off file carries a kept copy that is an unticked member of its own group and
// is on disk, or none when its group has no such member.
inline void expectSoundKeptCopies(const std::vector<std::shared_ptr<RQFile>> &files, const Groups &groups)
{
    for (const auto &handedOff : files) {
        const auto owner = std::find_if(groups.begin(), groups.end(), [&](const auto &candidate) {
            const auto &members = candidate->duplicates();
            return std::find(members.begin(), members.end(), handedOff) != members.end();
        });
        ASSERT_NE(owner, groups.end());
        const auto kept = handedOff->aliasDestinationFile();
        if (!kept)
            continue;
        const auto &members = (*owner)->duplicates();
        EXPECT_NE(std::find(members.begin(), members.end(), kept), members.end()) << handedOff->path().toStdString();
        EXPECT_FALSE(kept->isSelected()) << kept->path().toStdString();
        EXPECT_TRUE(QFile::exists(kept->path())) << kept->path().toStdString();
    }
}

} // namespace results
