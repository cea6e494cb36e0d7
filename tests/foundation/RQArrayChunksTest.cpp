#include "foundation/RQArrayChunks.h"

#include <gtest/gtest.h>

#include <QList>
#include <QString>

#include <memory>
#include <numeric>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

std::vector<int> numbers(int count)
{
    std::vector<int> items(static_cast<size_t>(count));
    std::iota(items.begin(), items.end(), 0);
    return items;
}

std::vector<size_t> sizesOf(const std::vector<std::vector<int>> &chunks)
{
    std::vector<size_t> sizes;
    for (const auto &chunk : chunks)
        sizes.push_back(chunk.size());
    return sizes;
}

std::vector<int> joined(const std::vector<std::vector<int>> &chunks)
{
    std::vector<int> items;
    for (const auto &chunk : chunks)
        items.insert(items.end(), chunk.begin(), chunk.end());
    return items;
}

} // namespace

TEST(RQArrayChunksTest, ChunkSizesKeepTheOrder)
{
    struct Row
    {
        int count;
        qint64 maxSize;
        std::vector<size_t> sizes;
    };
    const Row rows[] = {
        {0, 10, {}},
        {1, 10, {1}},
        {23, 10, {10, 10, 3}},
        {20, 10, {10, 10}},
        {3, 50, {3}},
        {3, 0, {1, 1, 1}},
    };
    for (const Row &row : rows) {
        const auto chunks = rq_chunkyArrayWithMaxSize(numbers(row.count), row.maxSize);
        EXPECT_EQ(sizesOf(chunks), row.sizes) << row.count << " items by " << row.maxSize;
        EXPECT_EQ(joined(chunks), numbers(row.count));
    }
}

TEST(RQArrayChunksTest, TransformerReplacesAndDropsItems)
{
    const QList<int> items{0, 1, 2, 3, 4};
    const auto evenAsText = [](int item) -> std::optional<QString> {
        if (item % 2 != 0)
            return std::nullopt;
        return QString::number(item);
    };
    const QList<QList<QString>> chunks = rq_chunkyArrayWithMaxSize(items, 2, evenAsText);
    EXPECT_EQ(chunks, (QList<QList<QString>>{{u"0"_s, u"2"_s}, {u"4"_s}}));

    const auto dropAll = [](int) -> std::optional<QString> { return std::nullopt; };
    EXPECT_EQ(rq_chunkyArrayWithMaxSize(items, 2, dropAll), QList<QList<QString>>{{}})
        << "a non-empty list whose items are all dropped gives one empty chunk";
}

TEST(RQArrayChunksTest, NothingItemsAreDropped)
{
    const auto kept = std::make_shared<int>(1);
    const std::vector<std::shared_ptr<int>> pointers{nullptr, kept, nullptr};
    EXPECT_EQ(rq_chunkyArrayWithMaxSize(pointers, 10),
              (std::vector<std::vector<std::shared_ptr<int>>>{{kept}}));

    const QVariantList variants{QVariant(), 1, QVariant(), 2, 3};
    EXPECT_EQ(rq_chunkyArrayWithMaxSize(variants, 2), (QList<QVariantList>{{1, 2}, {3}}));

    const auto toNull = [](const QVariant &) { return std::optional<QVariant>(QVariant()); };
    EXPECT_EQ(rq_chunkyArrayWithMaxSize(variants, 2, toNull), QList<QVariantList>{{}})
        << "an item that becomes nothing is dropped";
}
