#include "scanning/RQIgnoreList.h"

#include "scanning/RQFile.h"

// Transitional: answers NO to every question until the system folder lists are read.

std::unique_ptr<RQIgnoreList> RQIgnoreList::ignoreList()
{
    return std::unique_ptr<RQIgnoreList>(new RQIgnoreList());
}

bool RQIgnoreList::filePathIsIgnored(const QString &) const
{
    return false;
}

bool RQIgnoreList::fileIsIgnored(const RQFile &file) const
{
    return filePathIsIgnored(file.path());
}

bool RQIgnoreList::pathIsChildOfSystemPath(const QString &) const
{
    return false;
}

bool RQIgnoreList::pathIsTimeMachineBackup(const QString &, const QVariantMap &) const
{
    return false;
}
