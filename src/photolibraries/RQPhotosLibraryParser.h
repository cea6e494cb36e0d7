#pragma once

#include <QString>

#include <memory>
#include <vector>

class RQFile;

// Reads a Photos library's databases (through copies) into items for its media.
class RQPhotosLibraryParser final
{
public:
    explicit RQPhotosLibraryParser(const QString &libraryPath);

    const std::vector<std::shared_ptr<RQFile>> &imageFiles() const { return m_imageFiles; }

private:
    std::vector<std::shared_ptr<RQFile>> m_imageFiles;
};
