#pragma once

#include "scanning/ItemArena.h"

#include <QByteArray>
#include <QChar>
#include <QString>
#include <QStringView>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <utility>

// An item's name in one word. An ASCII name of up to seven characters (a good share of the
// names on a disk) lives in the word itself: a byte with its length, then its characters.
// Any other name lives in a block of the item arena (it lives and dies with its item) the
// word points to: a word that holds its length and its width, then its characters, a byte
// each when the name is ASCII (as nearly every name is), else UTF-16 code units. A scan keeps
// millions of names, and a QString costs its own 24 bytes and a 16-byte header in the block on
// top of two bytes a character. An empty name is all zero. Not shared: moving hands the name
// over.
class RQItemName final
{
public:
    RQItemName() = default;
    explicit RQItemName(QStringView name);
    RQItemName(RQItemName &&other) noexcept : m_word(std::exchange(other.m_word, 0)) {}
    RQItemName &operator=(RQItemName &&other) noexcept
    {
        std::swap(m_word, other.m_word);
        return *this;
    }
    ~RQItemName()
    {
        if (char *kept = block())
            ItemArena::release(kept, blockBytes(size(), isWide()));
    }

    bool isEmpty() const { return m_word == 0; }
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
    // The first byte of the word (its lowest, on the little-endian machines this is built
    // for) has its lowest bit set for a name kept in the word; a block's address never has.
    static_assert(std::endian::native == std::endian::little);
    static constexpr std::uintptr_t inlineMark = 1;
    static constexpr qsizetype inlineCapacity = sizeof(std::uintptr_t) - 1;

    static std::size_t blockBytes(qsizetype length, bool wide)
    {
        return sizeof(std::uint32_t) + static_cast<std::size_t>(length) * (wide ? sizeof(char16_t) : 1);
    }
    bool isInline() const { return (m_word & inlineMark) != 0; }
    char *block() const { return isInline() ? nullptr : reinterpret_cast<char *>(m_word); }
    // The length, shifted left by one, and in the lowest bit the width (set: UTF-16) of a
    // name in a block, or the mark of a name in the word.
    std::uint32_t header() const
    {
        if (isInline())
            return static_cast<std::uint32_t>(m_word & 0xff) & ~std::uint32_t(inlineMark);
        std::uint32_t value = 0;
        if (m_word != 0)
            std::memcpy(&value, block(), sizeof value);
        return value;
    }
    bool isWide() const { return !isInline() && (header() & 1) != 0; }
    const char *characters() const
    {
        return isInline() ? reinterpret_cast<const char *>(&m_word) + 1 : block() + sizeof(std::uint32_t);
    }

    std::uintptr_t m_word = 0;
};
