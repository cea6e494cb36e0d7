#include "scanning/Sha1Digest.h"

namespace {

constexpr char hexDigits[] = "0123456789abcdef";

int hexValue(QChar character)
{
    const char16_t c = character.unicode();
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

} // namespace

std::optional<Sha1Digest> Sha1Digest::fromHex(const QString &text)
{
    if (text.size() != 40)
        return std::nullopt;
    Bytes bytes {};
    for (size_t index = 0; index < bytes.size(); ++index) {
        const int high = hexValue(text.at(qsizetype(index * 2)));
        const int low = hexValue(text.at(qsizetype(index * 2 + 1)));
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes[index] = static_cast<std::uint8_t>(high << 4 | low);
    }
    return Sha1Digest(bytes);
}

void Sha1Digest::writeHex(char (&buffer)[40]) const
{
    for (size_t index = 0; index < m_bytes.size(); ++index) {
        buffer[index * 2] = hexDigits[m_bytes[index] >> 4];
        buffer[index * 2 + 1] = hexDigits[m_bytes[index] & 0x0f];
    }
}

QString Sha1Digest::toHex() const
{
    char buffer[40];
    writeHex(buffer);
    return QString::fromLatin1(buffer, 40);
}
