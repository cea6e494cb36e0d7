#pragma once

#include <QString>

// Makes one file impossible to remove: the immutable flag where the file system and the
// process's rights allow it (it stops even root), else, for a user other than root, a read-only
// parent folder. Undone when the object goes, so the temporary folder can be removed.
class UnremovableFile final
{
public:
    explicit UnremovableFile(QString path);
    ~UnremovableFile();
    Q_DISABLE_COPY_MOVE(UnremovableFile)

    // "the immutable flag", "a read-only parent folder", or empty when neither took.
    QString method() const { return m_method; }

private:
    QString m_path;
    QString m_method;
};
