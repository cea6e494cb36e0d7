#include "windows/WindowsLogging.h"

Q_LOGGING_CATEGORY(windowsLog, "marrowick.windows", QtWarningMsg)

namespace {

QString quoted(QStringView text)
{
    QString escaped;
    escaped.reserve(text.size() + 2);
    escaped += u'"';
    for (const QChar character : text) {
        if (character == u'"' || character == u'\\')
            escaped += u'\\';
        escaped += character;
    }
    escaped += u'"';
    return escaped;
}

} // namespace

QString screenLogLine(int step, QStringView state, const ScreenFields &fields)
{
    QString line = QStringLiteral("screen step=%1 state=%2").arg(step).arg(state);
    for (const auto &[key, text] : fields)
        line += u' ' + key + u'=' + quoted(text);
    return line;
}

void logScreen(int step, QStringView state, const ScreenFields &fields)
{
    if (windowsLog().isDebugEnabled())
        qCDebug(windowsLog).noquote() << screenLogLine(step, state, fields);
}
