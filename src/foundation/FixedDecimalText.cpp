#include "foundation/FixedDecimalText.h"

#include <charconv>
#include <iterator>

QString fixedDecimalText(double value, int decimals)
{
    char text[384]; // room for the largest finite double in full
    const auto result = std::to_chars(std::begin(text), std::end(text), value,
                                      std::chars_format::fixed, decimals);
    return QString::fromLatin1(text, result.ptr - text);
}
