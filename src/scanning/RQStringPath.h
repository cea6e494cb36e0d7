#pragma once

#include <QString>

// Path comparisons on plain strings, exact and case-sensitive.

// Equal once a trailing "/" is made to match: "/a/b" equals "/a/b/", "/a/b//" does not.
bool rq_isEqualToPath(const QString &path, const QString &otherPath);

// The candidate lies under the parent, or is the parent: both are made to end in "/" and the
// parent must be a prefix. "/a/bc" is not under "/a/b"; an empty parent stands for "/".
bool rq_isChildOfPath(const QString &candidate, const QString &parentPath);
