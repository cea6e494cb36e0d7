#include "support/Unprivileged.h"

#include <QFile>

#include <unistd.h>

bool becomeNobodyOwning(const QString &folder)
{
    constexpr uid_t nobody = 65534;
    if (::geteuid() != 0)
        return true;
    return ::chown(QFile::encodeName(folder).constData(), nobody, nobody) == 0
        && ::setresgid(nobody, nobody, nobody) == 0 && ::setresuid(nobody, nobody, nobody) == 0;
}
