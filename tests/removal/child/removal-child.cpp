// The removal that the kill test starts and kills: scans DATA, then removes each DATA/copies/N,
// keeping DATA/kept/N, in the mode given ("trash" and/or "links", comma-separated, or "delete").
// Writes "removing" on standard output once the removal starts. Home, settings and Trash are the
// ones the environment names.

#include "removal/KMHSFileRemover.h"
#include "scanning/RQDirectory.h"
#include "scanning/RQDuplicateFinder.h"
#include "scanning/RQDuplicateFinderScan.h"
#include "scanning/RQDuplicateFinderWalk.h"

#include <QCoreApplication>
#include <QDir>
#include <QHash>

#include <cstdio>

using namespace Qt::StringLiterals;

int main(int argc, char **argv)
{
    QCoreApplication application(argc, argv);
    // The tests' name, so that the record of its aside folders lies where the next start looks.
    QCoreApplication::setApplicationName(u"marrowick-tests"_s);
    if (argc != 3) {
        std::fprintf(stderr, "usage: removal-child DATA MODE\n");
        return 2;
    }
    const QString data = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    const QByteArray mode = argv[2];

    const auto finder = RQDuplicateFinder::duplicateFinderWithPaths({data}, 0);
    RQDuplicateFinderScan scan;
    RQDuplicateFinderWalk(*finder, scan).walkRoots();
    QCoreApplication::sendPostedEvents();
    QHash<QString, std::shared_ptr<RQFile>> byName;
    scan.forEachItem([&byName](const auto &item) { byName.insert(item->path(), item); });

    KMHSFileRemover::FileList copies;
    const QStringList names = QDir(data + "/copies"_L1).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (int index = 0; index < names.size(); ++index) {
        const QString name = QString::number(index);
        auto copy = byName.value(data + "/copies/"_L1 + name);
        auto kept = byName.value(data + "/kept/"_L1 + name);
        if (!copy) {
            copy = byName.value(data + "/copies/"_L1 + name + u'/');
            kept = byName.value(data + "/kept/"_L1 + name + u'/');
        }
        if (!copy || !kept)
            continue;
        copy->setAliasDestinationFile(kept);
        copies.push_back(copy);
    }

    {
        // Going, the remover waits for its removal.
        KMHSFileRemover remover;
        remover.setUseTrash(mode.contains("trash"));
        remover.setMakeAliases(mode.contains("links"));
        std::printf("removing\n");
        std::fflush(stdout);
        remover.removeFiles(copies);
    }
    for (const auto &copy : copies)
        copy->setAliasDestinationFile(nullptr);
    return 0;
}
