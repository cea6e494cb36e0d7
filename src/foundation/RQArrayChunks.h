#pragma once

#include <QVariant>
#include <QtGlobal>

#include <algorithm>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>

// Cuts a list (QList or std::vector) into chunks of at most maxSize items, keeping the order:
// every chunk but the last holds exactly maxSize items. Items that are nothing (a null
// pointer, an invalid QVariant) are dropped before the cut; so a non-empty list whose items
// are all dropped gives one empty chunk, and an empty list gives no chunk. A maxSize below 1
// counts as 1. Pure; any thread.

namespace rq_chunks {

template <typename T>
struct IsSharedPointer : std::false_type
{
};
template <typename T>
struct IsSharedPointer<std::shared_ptr<T>> : std::true_type
{
};

template <typename T>
bool isNothing(const T &item)
{
    if constexpr (std::is_pointer_v<T> || IsSharedPointer<T>::value)
        return item == nullptr;
    else if constexpr (std::is_same_v<T, QVariant>)
        return !item.isValid();
    else
        return false;
}

} // namespace rq_chunks

// The transformer maps each item to its replacement, or to no value to drop it.
template <template <typename...> class List, typename Item, typename... Rest, typename Transformer>
auto rq_chunkyArrayWithMaxSize(const List<Item, Rest...> &items, qint64 maxSize,
                               Transformer transformer)
{
    using Value = typename std::invoke_result_t<Transformer, const Item &>::value_type;
    using Chunk = List<Value>;
    List<Chunk> chunks;
    if (items.empty())
        return chunks;
    const qint64 size = std::max<qint64>(maxSize, 1);
    const auto reserved = std::min<qint64>(size, qint64(items.size()));
    Chunk chunk;
    chunk.reserve(reserved);
    for (const Item &item : items) {
        std::optional<Value> value = transformer(item);
        if (!value || rq_chunks::isNothing(*value))
            continue;
        if (qint64(chunk.size()) == size) {
            chunks.push_back(std::move(chunk));
            chunk = Chunk();
            chunk.reserve(reserved);
        }
        chunk.push_back(std::move(*value));
    }
    chunks.push_back(std::move(chunk));
    return chunks;
}

template <template <typename...> class List, typename Item, typename... Rest>
List<List<Item>> rq_chunkyArrayWithMaxSize(const List<Item, Rest...> &items, qint64 maxSize)
{
    return rq_chunkyArrayWithMaxSize(items, maxSize,
                                     [](const Item &item) { return std::optional<Item>(item); });
}
