#pragma once

#include <QStringView>

#include <cstdint>
#include <cstring>
#include <memory>

// An item's name in one heap block: its length, then its UTF-16 code units. A scan keeps
// millions of names, and a QString costs its own 24 bytes and a 16-byte header in the block on
// top of the text. An empty name holds no block. Not shared: moving hands the block over.
class RQItemName final
{
public:
    RQItemName() = default;
    explicit RQItemName(QStringView name);

    // Inline: making a path reads the name of every folder above the item.
    QStringView view() const
    {
        if (!m_block)
            return {};
        std::uint32_t length = 0;
        std::memcpy(&length, m_block.get(), sizeof length);
        return QStringView(m_block.get() + lengthUnits, length);
    }
    bool isEmpty() const { return !m_block; }

private:
    // The length takes the first two code units.
    static constexpr std::size_t lengthUnits = sizeof(std::uint32_t) / sizeof(char16_t);

    std::unique_ptr<char16_t[]> m_block;
};
