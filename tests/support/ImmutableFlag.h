#pragma once

#include <QString>

// Sets or clears the file system's immutable flag on the file or folder, which stops even root
// from changing it or, for a folder, its entries. false where the file system or the process's
// rights do not allow it.
bool setImmutableFlag(const QString &path, bool immutable);
