#pragma once

#include <QStringView>

// Path comparisons on plain strings, exact and case-sensitive. They are asked for every scanned
// entry, so they compare views and never build a string.

// Equal once a trailing "/" is made to match: "/a/b" equals "/a/b/", "/a/b//" does not.
bool rq_isEqualToPath(QStringView path, QStringView otherPath);

// The candidate lies under the parent, or is the parent: both are made to end in "/" and the
// parent must be a prefix. "/a/bc" is not under "/a/b"; an empty parent stands for "/".
bool rq_isChildOfPath(QStringView candidate, QStringView parentPath);
