#include "scanning/RQContentType.h"

#include "platform/FileTypeInfo.h"
#include "scanning/RQFile.h"

#include <memory>
#include <mutex>
#include <unordered_map>

using namespace Qt::StringLiterals;

namespace {

// Finds QString keys by a QStringView, so that a lookup builds no string.
struct ViewHash
{
    using is_transparent = void;
    std::size_t operator()(QStringView text) const { return qHash(text); }
};

template<typename Value>
using TableByExtension = std::unordered_map<QString, Value, ViewHash, std::equal_to<>>;

qint64 codeOf(const std::optional<FileTypeInfo::Category> &category)
{
    if (!category)
        return RQFile::Other;
    switch (*category) {
    case FileTypeInfo::Category::Image:
        return RQFile::Image;
    case FileTypeInfo::Category::Video:
        return RQFile::Movie;
    case FileTypeInfo::Category::Text:
        return RQFile::Document;
    case FileTypeInfo::Category::Audio:
        return RQFile::Audio;
    case FileTypeInfo::Category::Archive:
        return RQFile::Archive;
    }
    return RQFile::Other;
}

} // namespace

const RQContentType &RQContentType::forFile(QStringView extension)
{
    // A PDF is a document whatever its type says, and carries no type text.
    static const RQContentType pdf(QString(), RQFile::Document);
    if (extension == "pdf"_L1)
        return pdf;
    thread_local TableByExtension<const RQContentType *> met;
    if (const auto found = met.find(extension); found != met.end())
        return *found->second;
    const RQContentType &type = sharedForFile(extension);
    met.emplace(extension.toString(), &type);
    return type;
}

const RQContentType &RQContentType::forFolder(QStringView extension)
{
    static const RQContentType application(QString(), RQFile::Application);
    static const RQContentType other(QString(), RQFile::Other);
    return extension == "app"_L1 ? application : other;
}

const RQContentType &RQContentType::sharedForFile(QStringView extension)
{
    static std::mutex lock;
    static TableByExtension<std::unique_ptr<const RQContentType>> types;
    const std::lock_guard<std::mutex> locked(lock);
    if (const auto found = types.find(extension); found != types.end())
        return *found->second;
    const FileTypeInfo::ExtensionType type = FileTypeInfo::typeForExtension(extension);
    auto made = std::make_unique<const RQContentType>(type.typeIdentifier, codeOf(type.category));
    return *types.emplace(extension.toString(), std::move(made)).first->second;
}
