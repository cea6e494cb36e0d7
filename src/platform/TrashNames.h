#pragma once

#include <QByteArray>
#include <QString>

#include <functional>
#include <string>
#include <unordered_map>

// The names under which items go into trash folders. An item's own name is tried first; once a
// name was found taken in a trash, its items try the name's stem with a number before the
// extension, the next number remembered per trash and name, and once numbers are found taken
// (another program's, or an earlier removal's), a random suffix. So each item costs a few tries
// however many of one name went before it. A name that is shortened to fit keeps its extension
// and whole UTF-8 characters.
// Not thread-safe; one per run of removals, so that what it remembers goes with it.
class TrashNames final
{
public:
    // Tries a name: 0 when the item now has it, EEXIST when it is taken, any other errno stops.
    using Attempt = std::function<int(const QByteArray &candidate)>;

    TrashNames() = default;
    TrashNames(const TrashNames &) = delete;
    TrashNames &operator=(const TrashNames &) = delete;

    // Tries names for the item name in the trash at trashPath until one is not taken; room is
    // the longest name allowed (0: no limit). Answers the last attempt's answer, or EEXIST when
    // no name was left worth trying.
    int placeItem(const QString &trashPath, const QByteArray &name, qsizetype room, const Attempt &attempt);

private:
    struct Numbering
    {
        qint64 next = 1;
        bool takenByOthers = false;
    };

    std::unordered_map<std::string, Numbering> m_numberings;
};
