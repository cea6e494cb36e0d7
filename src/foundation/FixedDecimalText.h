#pragma once

#include <QString>

// The number with the given count of decimals as printf's "%.Nf" writes it (an exact tie
// rounds to even: 1.25 gives "1.2"), with "." whatever the user's locale. QString::number
// and QString::asprintf round ties away from zero instead.
QString fixedDecimalText(double value, int decimals);
