#pragma once

#include <QString>
#include <QtGlobal>

// Writes the file's bytes [from, from + length) (length 0: to the end) to the disk and drops
// them from memory, so that the next read of them waits for the disk. false where they stay in
// memory (a file system that keeps files only there, such as tmpfs).
bool evictFromMemory(const QString &path, qint64 from = 0, qint64 length = 0);
