#include "scanning/RQSymbolicLink.h"

#include "scanning/Sha1Hasher.h"

#include <QList>

using namespace Qt::StringLiterals;

std::shared_ptr<RQSymbolicLink> RQSymbolicLink::linkWithPath(const QString &path, const QString &target)
{
    auto link = make<RQSymbolicLink>(path, QUrl());
    link->m_target = target;
    return link;
}

std::shared_ptr<RQSymbolicLink> RQSymbolicLink::linkWithName(const QString &name, RQDirectory &folder,
                                                             const QString &target)
{
    auto link = makeInFolder<RQSymbolicLink>(name, folder);
    link->m_target = target;
    return link;
}

QString RQSymbolicLink::namedPlace() const
{
    const QString linkPath = path();
    const QString joined = m_target.startsWith(u'/') ? m_target : linkPath.left(linkPath.lastIndexOf(u'/') + 1) + m_target;
    const bool absolute = joined.startsWith(u'/');
    QList<QStringView> parts;
    for (const QStringView part : QStringView(joined).split(u'/', Qt::SkipEmptyParts)) {
        if (part == "."_L1)
            continue;
        if (part != ".."_L1)
            parts.append(part);
        else if (!parts.isEmpty() && parts.constLast() != ".."_L1)
            parts.removeLast();
        else if (!absolute)
            parts.append(part); // above a relative start; at the root, ".." stays at the root
    }
    QString place = absolute ? u"/"_s : QString();
    for (qsizetype index = 0; index < parts.size(); ++index) {
        if (index > 0)
            place += u'/';
        place += parts.at(index);
    }
    return place;
}

std::optional<Sha1Digest> RQSymbolicLink::folderDigestContribution() const
{
    // Two links are equal only when they name the same place; the same text in other folders
    // names other files. Tagged, so that a link never matches a file whose content is the text.
    const QByteArray tagged = QByteArray("\0marrowick-symbolic-link\0", 25) + namedPlace().toUtf8();
    return Sha1Hasher::digest(tagged.constData(), static_cast<std::size_t>(tagged.size()));
}
