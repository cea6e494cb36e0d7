#include "MadeUpGroups.h"

#include "scanning/RQDuplicateFiles.h"
#include "scanning/RQFile.h"

#include <QDateTime>

#include <random>

using namespace Qt::StringLiterals;

RQDuplicateFinder::Groups makeUpGroups(int groupCount, int membersPerGroup)
{
    static const char *const extensions[] = {"jpg", "txt", "mp4", "mp3", "zip", "dat", "png", "pdf"};
    static const char *const words[] = {"holiday", "report", "Café", "scan", "invoice", "mix", "backup", "photo"};
    std::mt19937 random(15);
    RQDuplicateFinder::Groups groups;
    groups.reserve(std::size_t(groupCount));
    const QDateTime start = QDateTime::fromSecsSinceEpoch(1'500'000'000, Qt::UTC);
    for (int index = 0; index < groupCount; ++index) {
        const QString name = u"%1 %2.%3"_s.arg(QString::fromUtf8(words[random() % 8])).arg(index).arg(
            QLatin1StringView(extensions[random() % 8]));
        const double size = double(1 + random() % 50'000'000);
        RQDuplicateFiles::Members members;
        for (int member = 0; member < membersPerGroup; ++member) {
            auto file = RQFile::fileWithPath(u"/bench/folder%1/%2"_s.arg(member * 37 + index % 1000).arg(name));
            file->setFileSize(size);
            if (random() % 10 != 0)
                file->setCreationDate(start.addSecs(qint64(random() % 100'000'000)));
            members.push_back(std::move(file));
        }
        groups.push_back(RQDuplicateFiles::duplicateFilesWithHash(QString::number(index, 16), members));
    }
    return groups;
}
