#pragma once

#include "platform/RQError.h"

#include <memory>

// The remover's own refusals: items it leaves in place so that no copy is lost and nothing the
// scan did not see is touched, or that it could not put where they were to go. The removal sheet
// shows their own descriptions; an underlying error, where there is one, says why.
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
        // The item's Trash could not be made or written, so the item was not moved.
        TrashNotWritable = 5,
    };

    RemovalError() = delete;

    static RQError error(Code code, std::shared_ptr<const RQError> underlyingError = nullptr);
    // A Trash error: a trash that could not take the item becomes TrashNotWritable, with the
    // trash's reason underneath; a failure of the item stays as it is.
    static RQError fromTrashError(const RQError &error);
};
