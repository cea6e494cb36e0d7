#include "platform/LeadingNumber.h"

#include <QLocale>
#include <QRegularExpression>

using namespace Qt::StringLiterals;

double leadingNumber(const QString &text)
{
    static const QRegularExpression number(
        uR"(^\s*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?))"_s);
    const QRegularExpressionMatch match = number.match(text);
    if (!match.hasMatch())
        return 0.0;
    bool ok = false;
    const double value = QLocale::c().toDouble(match.capturedView(1), &ok);
    return ok ? value : 0.0;
}
