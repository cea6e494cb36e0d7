#pragma once

#include "platform/RQError.h"

// The remover's own refusals: items it leaves in place so that no copy is lost and nothing the
// scan did not see is touched. They carry no underlying error, so the removal sheet shows their
// own descriptions.
class RemovalError final
{
public:
    static constexpr auto errorDomain = "com.rovaquin.kelmora.hs.fileremover";

    enum Code : qint64 {
        // The item is no longer what the scan saw: another object, kind, size or time, or a link
        // on the way to it.
        ChangedAfterScan = 1,
        // The copy that stays is in the list too, lies inside an item of it, or is the item.
        KeptCopyWouldBeRemoved = 2,
        // The copy that stays is gone.
        KeptCopyGone = 3,
        // The copy that stays is there but no longer what the scan saw.
        KeptCopyChanged = 4,
    };

    RemovalError() = delete;

    static RQError error(Code code);
};
