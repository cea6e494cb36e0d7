#pragma once

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

#include <cstdint>
#include <cstring>
#include <memory>

// An item's name in one heap block: a word that holds its length and its width, then its
// characters, a byte each when the name is ASCII (as nearly every name is), else UTF-16 code
// units. A scan keeps millions of names, and a QString costs its own 24 bytes and a 16-byte
// header in the block on top of two bytes a character. An empty name holds no block. Not shared:
// moving hands the block over.
class RQItemName final
{
public:
    RQItemName() = default;
    explicit RQItemName(QStringView name);

    bool isEmpty() const { return !m_block; }
    qsizetype size() const { return static_cast<qsizetype>(header() >> 1); }
    // Inline, as size(): making a path writes the name of every folder above the item.
    void copyTo(QChar *out) const
    {
        const qsizetype length = size();
        if (isWide()) {
            std::memcpy(static_cast<void *>(out), characters(), static_cast<std::size_t>(length) * sizeof(QChar));
            return;
        }
        // As code units, which the compiler widens many at a time.
        const auto *bytes = reinterpret_cast<const unsigned char *>(characters());
        auto *units = reinterpret_cast<char16_t *>(out);
        for (qsizetype index = 0; index < length; ++index)
            units[index] = bytes[index];
    }
    QString toString() const;
    // The name's UTF-8, which for an ASCII name is its bytes.
    void appendUtf8To(QByteArray &text) const;

private:
    // The length, shifted left by one, and the width in the lowest bit (set: UTF-16).
    std::uint32_t header() const
    {
        std::uint32_t value = 0;
        if (m_block)
            std::memcpy(&value, m_block.get(), sizeof value);
        return value;
    }
    bool isWide() const { return (header() & 1) != 0; }
    const char *characters() const { return m_block.get() + sizeof(std::uint32_t); }

    std::unique_ptr<char[]> m_block;
};
