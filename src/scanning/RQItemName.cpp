#include "scanning/RQItemName.h"

#include <algorithm>

RQItemName::RQItemName(QStringView name)
{
    if (name.isEmpty())
        return;
    const bool wide = std::any_of(name.cbegin(), name.cend(), [](QChar unit) { return unit.unicode() >= 0x80; });
    const auto length = static_cast<std::uint32_t>(name.size());
    const std::size_t characterBytes = wide ? length * sizeof(char16_t) : length;
    // Not value-initialised: every byte is written below.
    m_block.reset(new char[sizeof(std::uint32_t) + characterBytes]);
    const std::uint32_t header = length << 1 | (wide ? 1 : 0);
    std::memcpy(m_block.get(), &header, sizeof header);
    char *characters = m_block.get() + sizeof header;
    if (wide)
        std::memcpy(characters, name.utf16(), characterBytes);
    else
        std::transform(name.cbegin(), name.cend(), characters, [](QChar unit) { return static_cast<char>(unit.unicode()); });
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
