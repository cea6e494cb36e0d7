#include "UnremovableFile.h"

#include "support/ImmutableFlag.h"

#include <QFile>
#include <QFileInfo>

#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

const QString immutableFlag = u"the immutable flag"_s;
const QString readOnlyParent = u"a read-only parent folder"_s;

} // namespace

UnremovableFile::UnremovableFile(QString path)
    : m_path(std::move(path))
{
    if (setImmutableFlag(m_path, true)) {
        m_method = immutableFlag;
        return;
    }
    // Root removes entries of a read-only folder all the same.
    if (::geteuid() != 0 && ::chmod(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(), 0555) == 0)
        m_method = readOnlyParent;
}

UnremovableFile::~UnremovableFile()
{
    if (m_method == immutableFlag)
        setImmutableFlag(m_path, false);
    else if (m_method == readOnlyParent)
        ::chmod(QFile::encodeName(QFileInfo(m_path).absolutePath()).constData(), 0755);
}
