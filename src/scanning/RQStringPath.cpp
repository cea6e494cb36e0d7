#include "scanning/RQStringPath.h"

namespace {

QString withTrailingSlash(const QString &path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

} // namespace

bool rq_isEqualToPath(const QString &path, const QString &otherPath)
{
    const bool pathHasSlash = path.endsWith(u'/');
    const bool otherHasSlash = otherPath.endsWith(u'/');
    if (pathHasSlash == otherHasSlash)
        return path == otherPath;
    return withTrailingSlash(path) == withTrailingSlash(otherPath);
}

bool rq_isChildOfPath(const QString &candidate, const QString &parentPath)
{
    const QString parent = withTrailingSlash(parentPath);
    if (candidate.endsWith(u'/'))
        return candidate.startsWith(parent);
    // Only the candidate's missing "/" can matter: compare without building a new string.
    return candidate.size() + 1 >= parent.size()
        && (candidate.startsWith(parent)
            || (candidate.size() + 1 == parent.size() && parent.startsWith(candidate)));
}
