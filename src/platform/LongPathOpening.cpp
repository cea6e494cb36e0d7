#include "platform/LongPathOpening.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

// Closes the folder a part was opened in, keeping the errno of the open.
void closeFolder(int folder)
{
    if (folder == AT_FDCWD)
        return;
    const int error = errno;
    ::close(folder);
    errno = error;
}

} // namespace

int LongPathOpening::open(std::string_view path, int flags)
{
    int folder = AT_FDCWD;
    while (path.size() >= PATH_MAX) {
        // The longest part that ends at a "/" and that the system still takes.
        const std::size_t cut = path.rfind('/', PATH_MAX - 1);
        if (cut == std::string_view::npos || cut == 0) {
            closeFolder(folder);
            errno = ENAMETOOLONG;
            return -1;
        }
        const std::string part(path.substr(0, cut));
        const int next = ::openat(folder, part.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        closeFolder(folder);
        if (next < 0)
            return -1;
        folder = next;
        path.remove_prefix(cut + 1);
    }
    const int descriptor = ::openat(folder, std::string(path).c_str(), flags);
    closeFolder(folder);
    return descriptor;
}
