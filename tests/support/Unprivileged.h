#pragma once

#include <QString>

// For a test child process that must meet permission faults the superuser never meets: when
// run as root, hands the folder to the unprivileged "nobody" account and becomes it for good.
// Answers false when that failed; a child not run as root changes nothing and answers true.
bool becomeNobodyOwning(const QString &folder);
