#include "scanning/RQItemName.h"

#include <algorithm>

RQItemName::RQItemName(QStringView name)
{
    if (name.isEmpty())
        return;
    const auto length = static_cast<std::uint32_t>(name.size());
    // Not value-initialised: every unit is written below.
    m_block.reset(new char16_t[lengthUnits + length]);
    std::memcpy(m_block.get(), &length, sizeof length);
    std::copy(name.utf16(), name.utf16() + length, m_block.get() + lengthUnits);
}
