#include "scanning/RQContentType.h"

#include "platform/FileTypeInfo.h"
#include "scanning/RQFile.h"

#include <array>
#include <atomic>
#include <map>
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

// Every type under its index. Types are only ever added, and an index is handed out only
// once its type is in place, so reading needs no lock.
class RQContentType::Registry final
{
public:
    // Far more than the system's type database holds: types are shared per identifier.
    static constexpr std::size_t capacity = 1U << 14;

    static bool isFull() { return count().load(std::memory_order_relaxed) >= capacity; }
    static std::uint16_t add(const RQContentType *type)
    {
        const std::size_t index = count().fetch_add(1, std::memory_order_relaxed);
        entries()[index].store(type, std::memory_order_release);
        return static_cast<std::uint16_t>(index);
    }
    static const RQContentType &at(std::uint16_t index) { return *entries()[index].load(std::memory_order_acquire); }

private:
    static std::atomic<std::size_t> &count()
    {
        static std::atomic<std::size_t> added {0};
        return added;
    }
    static std::array<std::atomic<const RQContentType *>, capacity> &entries()
    {
        static std::array<std::atomic<const RQContentType *>, capacity> kept {};
        return kept;
    }
};

RQContentType::RQContentType(const QString &typeIdentifier, qint64 code)
    : m_typeIdentifier(typeIdentifier), m_code(code), m_index(Registry::add(this))
{
}

const RQContentType &RQContentType::withIndex(std::uint16_t index)
{
    return Registry::at(index);
}

struct RQContentType::Fixed
{
    // A PDF is a document whatever its type says, and carries no type text.
    const RQContentType pdf {QString(), RQFile::Document};
    const RQContentType application {QString(), RQFile::Application};
    const RQContentType other {QString(), RQFile::Other};
};

const RQContentType::Fixed &RQContentType::fixed()
{
    static const Fixed types;
    return types;
}

const RQContentType &RQContentType::forFile(QStringView extension)
{
    if (extension == "pdf"_L1)
        return fixed().pdf;
    thread_local TableByExtension<const RQContentType *> met;
    if (const auto found = met.find(extension); found != met.end())
        return *found->second;
    const RQContentType &type = sharedForFile(extension);
    met.emplace(extension.toString(), &type);
    return type;
}

const RQContentType &RQContentType::forFolder(QStringView extension)
{
    return extension == "app"_L1 ? fixed().application : fixed().other;
}

const RQContentType &RQContentType::sharedForFile(QStringView extension)
{
    static std::mutex lock;
    static TableByExtension<const RQContentType *> byExtension;
    static std::map<std::pair<QString, qint64>, std::unique_ptr<const RQContentType>> byTypeAndCode;
    const Fixed &fixedTypes = fixed();
    const std::lock_guard<std::mutex> locked(lock);
    if (const auto found = byExtension.find(extension); found != byExtension.end())
        return *found->second;
    const FileTypeInfo::ExtensionType type = FileTypeInfo::typeForExtension(extension);
    std::pair<QString, qint64> key(type.typeIdentifier, codeOf(type.category));
    auto shared = byTypeAndCode.find(key);
    if (shared == byTypeAndCode.end()) {
        // Only a type database larger than any system has could fill the registry; its further
        // types are then told as no type at all rather than misnumbered.
        if (Registry::isFull())
            return fixedTypes.other;
        auto made = std::unique_ptr<const RQContentType>(new RQContentType(key.first, key.second));
        shared = byTypeAndCode.emplace(std::move(key), std::move(made)).first;
    }
    return *byExtension.emplace(extension.toString(), shared->second.get()).first->second;
}
