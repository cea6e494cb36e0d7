#pragma once

#include <QString>

#include <memory>

class RQFile;

// Makes the item for one medium of a photo library: an RQFile from the file URL of the path,
// with the size, creation and modification dates that the file system gives for it. The size
// is the file's byte length as a double, the same value the folder walk takes, so library
// media and ordinary files of equal content compare equal. A link is described as itself,
// not its target, as the walk does. A missing file gives size 0 and no dates. Any thread.
std::shared_ptr<RQFile> rq_libraryMediaFileWithPath(const QString &path);
