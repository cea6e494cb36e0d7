#include "windows/RemovalRowMessage.h"

#include "removal/KMHSPhotosFileRemover.h"
#include "removal/RemovalError.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

const QString gone = u"The file no longer exists."_s;
const QString permissions = u"Could not remove this file because of a permissions issue. Delete using the file "
                            u"manager by right clicking and selecting 'Show in File Manager'."_s;

RQError cocoa(qint64 code, const QString &underneath)
{
    return RQError(QString::fromLatin1(RQError::NSCocoaErrorDomain), code, u"outer"_s,
                   std::make_shared<const RQError>(u"inner"_s, 1, underneath));
}

RQError status(qint64 code)
{
    return RQError(QString::fromLatin1(RQError::NSOSStatusErrorDomain), code, u"outer"_s,
                   std::make_shared<const RQError>(u"inner"_s, 1, u"underneath"_s));
}

TEST(RemovalRowMessageTest, EachErrorShowsItsText)
{
    const QString path = u"/data/copies/a.txt"_s;
    const struct {
        const char *what;
        RQError error;
        QString expected;
    } cases[] = {
        {"gone from disk", RQError::fileSystemError(ENOENT, path), gone},
        {"no permission", RQError::fileSystemError(EACCES, path), permissions},
        {"read-only volume", RQError::fileSystemError(EROFS, path), permissions},
        // Any other errno is an unknown write error: the sheet's own advice applies.
        {"busy", RQError::fileSystemError(EBUSY, path), permissions},
        {"locked", cocoa(RQError::NSFileLockingError, u"x"_s), permissions},
        {"unreadable", cocoa(RQError::NSFileReadNoPermissionError, u"x"_s), permissions},
        {"other file-system code keeps what lies underneath", cocoa(640, u"No space left"_s), u"No space left"_s},
        {"status not found", status(-43), gone},
        {"status access denied", status(-5000), permissions},
        {"other status code", status(-36), u"underneath"_s},
        {"nothing underneath: its own text", RQError(u"elsewhere"_s, 7, u"Its own words"_s), u"Its own words"_s},
        {"empty text underneath: its own text",
         RQError(u"elsewhere"_s, 7, u"Its own words"_s, std::make_shared<const RQError>()), u"Its own words"_s},
        {"kept copy gone", RemovalError::error(RemovalError::KeptCopyGone),
         RemovalError::error(RemovalError::KeptCopyGone).localizedDescription()},
        {"kept copy changed", RemovalError::error(RemovalError::KeptCopyChanged),
         u"The copy that stays changed after the scan, so this file was not removed."_s},
        {"item changed", RemovalError::error(RemovalError::ChangedAfterScan),
         RemovalError::error(RemovalError::ChangedAfterScan).localizedDescription()},
        // Its own words, not the permissions advice nor what lies underneath.
        {"trash not writable",
         RemovalError::error(RemovalError::TrashNotWritable, std::make_shared<const RQError>(RQError::posixError(EACCES))),
         u"The Trash could not be written, so this file was not moved to it."_s},
    };
    for (const auto &test : cases)
        EXPECT_EQ(removalRowMessage(test.error), test.expected) << test.what;
}

TEST(RemovalRowMessageTest, PhotosRemoverErrorsShowTheirOwnDescription)
{
    const KMHSPhotosFileRemover photosRemover;
    for (const qint64 code : {KMHSPhotosFileRemover::NotFoundErrorCode, KMHSPhotosFileRemover::NoPermissionErrorCode,
                              KMHSPhotosFileRemover::NotScriptableErrorCode}) {
        const RQError error = photosRemover.errorWithCode(code);
        EXPECT_FALSE(error.localizedDescription().isEmpty());
        EXPECT_EQ(removalRowMessage(error), error.localizedDescription()) << code;
    }
}

} // namespace
