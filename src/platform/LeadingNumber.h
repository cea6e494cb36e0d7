#pragma once

#include <QString>

// The decimal number at the start of a text, after any blanks ("  12.5kg" gives 12.5,
// "1e3 files" 1000), read the same whatever the user's locale; 0 when the text starts with
// none.
double leadingNumber(const QString &text);
