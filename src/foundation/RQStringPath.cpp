#include "foundation/RQStringPath.h"

#include <algorithm>

namespace {

// The ignore list asks this for every system folder and every entry, and most pairs differ in
// their first few characters: an inline loop that stops there costs a fraction of a call into
// Qt's general comparison.
bool hasPrefix(QStringView text, QStringView prefix)
{
    return text.size() >= prefix.size() && std::equal(prefix.begin(), prefix.end(), text.begin());
}

} // namespace

bool rq_isEqualToPath(QStringView path, QStringView otherPath)
{
    const bool pathHasSlash = path.endsWith(u'/');
    if (pathHasSlash == otherPath.endsWith(u'/'))
        return path == otherPath;
    // Only the shorter one lacks its "/": the other must be it plus that "/".
    const QStringView shorter = pathHasSlash ? otherPath : path;
    const QStringView longer = pathHasSlash ? path : otherPath;
    return longer.size() == shorter.size() + 1 && hasPrefix(longer, shorter);
}

bool rq_isChildOfPath(QStringView candidate, QStringView parentPath)
{
    // With the parent's own "/" taken off, the candidate must go on with a "/" after it, or end
    // there without one (its "/" is then the one made to match).
    const QStringView parent = parentPath.endsWith(u'/') ? parentPath.chopped(1) : parentPath;
    if (!hasPrefix(candidate, parent))
        return false;
    if (candidate.size() == parent.size())
        return !candidate.endsWith(u'/');
    return candidate.at(parent.size()) == u'/';
}
