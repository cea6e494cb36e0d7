#pragma once

#include "removal/KMHSDetails.h"
#include "removal/KMHSErrorDictionary.h"

class KMHSFileRemover;

// Receives a removal's progress and its end. Every message arrives on the main thread:
// progress after each chunk, then exactly one completion, after the last progress message.
class KMHSFileRemoverDelegate
{
public:
    virtual ~KMHSFileRemoverDelegate() = default;

    // The counts are read when the message is delivered, so they may be ahead of the chunk
    // that sent it.
    virtual void fileRemoverDidRemoveFileWithDetails(KMHSFileRemover *remover, KMHSDetails details) = 0;
    // Announces the link step. The remover does not send it today.
    virtual void fileRemoverDidStartCreatingAliases(KMHSFileRemover *remover) = 0;
    // Sent once, also when nothing was removed: the failed items' errors, how many items
    // count as removed and the bytes they freed.
    virtual void fileRemoverDidCompleteWithErrors(KMHSFileRemover *remover,
                                                  const KMHSErrorDictionary &errors,
                                                  qint64 totalRemoved, quint64 spaceFreed) = 0;

protected:
    KMHSFileRemoverDelegate() = default;
    KMHSFileRemoverDelegate(const KMHSFileRemoverDelegate &) = default;
    KMHSFileRemoverDelegate &operator=(const KMHSFileRemoverDelegate &) = default;
};
