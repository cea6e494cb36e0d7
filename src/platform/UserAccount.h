#pragma once

#include <QString>

// The account that runs the process, as the password database knows it. Unlike $HOME, which
// a launcher or a sandbox may point elsewhere, this is the user's own home folder.
// Thread-safe.
class UserAccount final
{
public:
    // The home field of the real user's entry (getuid), decoded as UTF-8; empty when the
    // database has no entry for that user.
    static QString homeDirectory();

    UserAccount() = delete;
};
