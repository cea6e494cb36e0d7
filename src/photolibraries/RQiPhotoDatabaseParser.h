#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class RQFile;

// Reads one iPhoto library's "AlbumData.xml" into items, one per distinct image path of its
// "Master Image List". Runs on the caller's thread (the scan queue), synchronously, in the
// constructor; the items belong to no folder.
class RQiPhotoDatabaseParser final
{
public:
    explicit RQiPhotoDatabaseParser(const QString &albumDataPath);

    // No value when the file could not be read; an empty list when it is no property list
    // of that shape. Entries that are not image dictionaries with an absolute "ImagePath"
    // are left out.
    const std::optional<std::vector<std::shared_ptr<RQFile>>> &imagePaths() const { return m_imagePaths; }

    // The item for one image file, with its size (the file's length in bytes, as the scan
    // takes it) and its creation and modification dates. A file that does not exist gets
    // size 0 and no dates.
    static std::shared_ptr<RQFile> fileWithPath(const QString &path);

private:
    void parseFileAtPath(const QString &path);

    std::optional<std::vector<std::shared_ptr<RQFile>>> m_imagePaths;
};
