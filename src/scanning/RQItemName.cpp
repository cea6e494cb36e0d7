#include "scanning/RQItemName.h"

#include <algorithm>

namespace {

void writeAscii(QStringView name, char *characters)
{
    std::transform(name.cbegin(), name.cend(), characters, [](QChar unit) { return static_cast<char>(unit.unicode()); });
}

} // namespace

RQItemName::RQItemName(QStringView name)
{
    if (name.isEmpty())
        return;
    const bool wide = std::any_of(name.cbegin(), name.cend(), [](QChar unit) { return unit.unicode() >= 0x80; });
    const auto length = static_cast<std::uint32_t>(name.size());
    if (!wide && name.size() <= inlineCapacity) {
        m_word = length << 1 | inlineMark;
        writeAscii(name, reinterpret_cast<char *>(&m_word) + 1);
        return;
    }
    // Not value-initialised: every byte is written below.
    char *made = static_cast<char *>(ItemArena::allocate(blockBytes(length, wide), ItemArena::Pool::Names));
    const std::uint32_t header = length << 1 | (wide ? 1 : 0);
    std::memcpy(made, &header, sizeof header);
    char *characters = made + sizeof header;
    if (wide)
        std::memcpy(characters, name.utf16(), length * sizeof(char16_t));
    else
        writeAscii(name, characters);
    m_word = reinterpret_cast<std::uintptr_t>(made);
}

QString RQItemName::toString() const
{
    QString text(size(), Qt::Uninitialized);
    copyTo(text.data());
    return text;
}

void RQItemName::appendUtf8To(QByteArray &text) const
{
    if (isWide())
        text += QStringView(reinterpret_cast<const char16_t *>(characters()), size()).toUtf8();
    else
        text.append(characters(), size());
}
