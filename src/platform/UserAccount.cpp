#include "platform/UserAccount.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

QString UserAccount::homeDirectory()
{
    // getpwuid_r, since the scan queue and the main thread may both ask.
    long suggested = sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<std::size_t>(suggested) : 1024);
    passwd entry {};
    passwd *found = nullptr;
    for (;;) {
        const int result = getpwuid_r(getuid(), &entry, buffer.data(), buffer.size(), &found);
        if (result != ERANGE)
            break;
        buffer.resize(buffer.size() * 2);
    }
    if (!found || !found->pw_dir)
        return {};
    return QString::fromUtf8(found->pw_dir);
}
