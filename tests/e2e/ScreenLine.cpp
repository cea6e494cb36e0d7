#include "ScreenLine.h"

#include <QRegularExpression>

using namespace Qt::StringLiterals;

std::optional<ScreenLine> ScreenLine::parse(const QString &line)
{
    static const QRegularExpression head(u"(?:^|\\s)screen step=(\\d+) state=(\\S+)"_s);
    const QRegularExpressionMatch match = head.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    ScreenLine parsed;
    parsed.step = match.captured(1).toInt();
    parsed.state = match.captured(2);
    parsed.raw = line;

    // key="text" pairs, read by hand so that escaped quotes and backslashes stay inside the text.
    const QString rest = line.mid(match.capturedEnd());
    qsizetype at = 0;
    while (at < rest.size()) {
        while (at < rest.size() && rest.at(at).isSpace())
            ++at;
        const qsizetype equals = rest.indexOf(u"=\""_s, at);
        if (equals < 0)
            break;
        const QString key = rest.mid(at, equals - at);
        QString value;
        qsizetype position = equals + 2;
        while (position < rest.size() && rest.at(position) != u'"') {
            if (rest.at(position) == u'\\' && position + 1 < rest.size())
                ++position;
            value.append(rest.at(position++));
        }
        parsed.texts.insert(key, value);
        at = position + 1;
    }
    return parsed;
}

QString ScreenLine::stepAndState() const
{
    return u"%1 %2"_s.arg(step).arg(state);
}
