#include "platform/TrashNames.h"

#include <QFile>
#include <QRandomGenerator>

#include <cerrno>

namespace {

// Numbers tried in a row before an item turns to random suffixes: a few taken numbers mean a
// stretch of them is.
constexpr int numberAttempts = 3;
// Random suffixes of 32 bits: that many taken in a row means no name will be found.
constexpr int randomAttempts = 32;

// The name with suffix before its extension, shortened where needed so that it fits in room.
// An extension that would leave no room for the stem is taken as part of it.
QByteArray withSuffix(const QByteArray &name, const QByteArray &suffix, qsizetype room)
{
    const qsizetype dot = name.lastIndexOf('.');
    qsizetype split = dot > 0 ? dot : name.size();
    if (room > 0 && name.size() - split + suffix.size() >= room)
        split = name.size();
    qsizetype stemLength = split;
    if (room > 0 && stemLength + suffix.size() + (name.size() - split) > room) {
        stemLength = qMax(qsizetype(0), room - suffix.size() - (name.size() - split));
        // Cut before a UTF-8 character, never inside one.
        while (stemLength > 0 && (uchar(name.at(stemLength)) & 0xC0) == 0x80)
            --stemLength;
    }
    return name.left(stemLength) + suffix + name.mid(split);
}

QByteArray randomSuffix()
{
    return '-' + QByteArray::number(QRandomGenerator::global()->generate(), 16).rightJustified(8, '0');
}

} // namespace

int TrashNames::placeItem(const QString &trashPath, const QByteArray &name, qsizetype room, const Attempt &attempt)
{
    const std::string key = QFile::encodeName(trashPath).toStdString() + '/' + name.toStdString();
    auto numbering = m_numberings.find(key);
    if (numbering == m_numberings.end()) {
        if (const int answer = attempt(name); answer != EEXIST)
            return answer;
        numbering = m_numberings.emplace(key, Numbering()).first;
    }
    Numbering &numbers = numbering->second;
    for (int tries = 0; !numbers.takenByOthers && tries < numberAttempts; ++tries) {
        const QByteArray suffix = '-' + QByteArray::number(numbers.next++);
        if (const int answer = attempt(withSuffix(name, suffix, room)); answer != EEXIST)
            return answer;
    }
    numbers.takenByOthers = true;
    for (int tries = 0; tries < randomAttempts; ++tries) {
        if (const int answer = attempt(withSuffix(name, randomSuffix(), room)); answer != EEXIST)
            return answer;
    }
    return EEXIST;
}
