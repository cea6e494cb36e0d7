#pragma once

#include <memory>
#include <vector>

class RQFile;

// What the results browser hands to the removal sheet: the ticked files, each carrying the
// copy that stays, and how they go. The sheet and the remover read the two flags from here
// only, so that a change of preferences while the sheet is open changes nothing.
struct RemovalHandOff
{
    std::vector<std::shared_ptr<RQFile>> files;
    bool useTrash = false;
    bool useHardLinks = false;
};
