#pragma once

#include <QString>

#include <memory>
#include <optional>
#include <vector>

class RQFile;

// Reads one iPhoto library's "AlbumData.xml" into items, one per distinct image path.
class RQiPhotoDatabaseParser final
{
public:
    explicit RQiPhotoDatabaseParser(const QString &albumDataPath);

    // No value when the file could not be read.
    const std::optional<std::vector<std::shared_ptr<RQFile>>> &imagePaths() const { return m_imagePaths; }

private:
    std::optional<std::vector<std::shared_ptr<RQFile>>> m_imagePaths;
};
