#include "scanning/RQSymbolicLink.h"

#include "scanning/Sha1Hasher.h"

std::shared_ptr<RQSymbolicLink> RQSymbolicLink::linkWithPath(const QString &path, const QString &target)
{
    auto link = make<RQSymbolicLink>(path, QUrl::fromLocalFile(path));
    link->m_target = target;
    return link;
}

std::optional<Sha1Digest> RQSymbolicLink::folderDigestContribution() const
{
    // Tagged, so that a link never matches a file whose content is the same text.
    const QByteArray tagged = QByteArray("\0marrowick-symbolic-link\0", 25) + m_target.toUtf8();
    return Sha1Hasher::digest(tagged.constData(), static_cast<std::size_t>(tagged.size()));
}
