#pragma once

#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// A SHA-1 value in its 20 bytes. Items keep their digests in this form (a fraction of the
// memory of the text); the text form is 40 lower-case hexadecimal characters.
class Sha1Digest final
{
public:
    using Bytes = std::array<std::uint8_t, 20>;

    constexpr Sha1Digest() = default;
    explicit constexpr Sha1Digest(const Bytes &bytes) : m_bytes(bytes) {}

    // Parses exactly 40 hexadecimal characters (either case); anything else gives no value.
    static std::optional<Sha1Digest> fromHex(const QString &text);

    QString toHex() const;
    // The 40 hexadecimal characters as ASCII bytes, written to the given buffer.
    void writeHex(char (&buffer)[40]) const;
    const Bytes &bytes() const { return m_bytes; }

    friend bool operator==(const Sha1Digest &, const Sha1Digest &) = default;

private:
    Bytes m_bytes {};
};
