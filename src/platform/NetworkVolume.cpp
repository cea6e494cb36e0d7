#include "platform/NetworkVolume.h"

#include <QFile>
#include <QStringList>

#include <array>
#include <sys/statfs.h>

using namespace Qt::StringLiterals;

namespace {

// Super-block magic numbers of the network file systems (linux/magic.h).
constexpr std::array<unsigned long, 8> networkMagics = {
    0x6969,     // NFS
    0x517B,     // SMB
    0xFF534D42, // CIFS
    0xFE534D42, // SMB2
    0x5346414F, // AFS
    0x6B414653, // kAFS
    0x01021997, // 9p
    0x73757245, // Coda
};
constexpr unsigned long fuseMagic = 0x65735546;

// Splits a line of /proc/self/mountinfo: "... mount-point ... - fstype source options".
bool mountOfLine(const QByteArray &line, QString &mountPoint, QString &type)
{
    const QList<QByteArray> fields = line.split(' ');
    const qsizetype separator = fields.indexOf("-");
    if (fields.size() < 5 || separator < 0 || separator + 1 >= fields.size())
        return false;
    // Spaces and other special characters in the mount point are written as octal escapes.
    QByteArray point = fields.at(4);
    point.replace("\\040", " ").replace("\\011", "\t").replace("\\012", "\n").replace("\\134", "\\");
    mountPoint = QFile::decodeName(point);
    type = QString::fromUtf8(fields.at(separator + 1));
    return true;
}

// The type of the innermost mount that holds the path, from the mount table.
QString mountTypeOfPath(const QString &path)
{
    QFile table(u"/proc/self/mountinfo"_s);
    if (!table.open(QIODevice::ReadOnly))
        return {};
    QString bestPoint;
    QString bestType;
    while (!table.atEnd()) {
        QString point;
        QString type;
        if (!mountOfLine(table.readLine().trimmed(), point, type))
            continue;
        const QString prefix = point.endsWith(u'/') ? point : point + u'/';
        const bool holds = path == point || path.startsWith(prefix);
        if (holds && point.size() >= bestPoint.size()) {
            bestPoint = point;
            bestType = type;
        }
    }
    return bestType;
}

} // namespace

bool NetworkVolume::fuseSubtypeIsNetwork(const QString &subtype)
{
    static const QStringList networkSubtypes = {
        u"sshfs"_s, u"s3fs"_s, u"rclone"_s, u"gcsfuse"_s, u"curlftpfs"_s, u"davfs"_s,
        u"glusterfs"_s, u"cephfs"_s, u"ceph-fuse"_s, u"smbnetfs"_s, u"afpfs"_s, u"goofys"_s,
    };
    return networkSubtypes.contains(subtype);
}

bool NetworkVolume::pathIsOnNetworkVolume(const QString &path)
{
    struct statfs volume {};
    if (::statfs(QFile::encodeName(path).constData(), &volume) != 0)
        return false;
    const auto magic = static_cast<unsigned long>(volume.f_type) & 0xFFFFFFFFUL;
    for (const unsigned long networkMagic : networkMagics) {
        if (magic == networkMagic)
            return true;
    }
    if (magic != fuseMagic)
        return false;
    const QString type = mountTypeOfPath(path);
    return type.startsWith("fuse."_L1) && fuseSubtypeIsNetwork(type.mid(5));
}
