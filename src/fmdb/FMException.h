#pragma once

#include <QString>

#include <stdexcept>

// Raised only for a caller's error that the layer names on purpose: a statement handed to a
// second result set, a savepoint without a name, a connection pushed back into a pool twice.
// The system's own use of the layer never reaches them.
class FMException final : public std::logic_error
{
public:
    FMException(const QString &name, const QString &reason)
        : std::logic_error(reason.toStdString())
        , m_name(name)
        , m_reason(reason)
    {}

    QString name() const { return m_name; }
    QString reason() const { return m_reason; }

    // The parameter check: "Invalid parameter not satisfying: <condition>".
    static FMException invalidParameter(const QString &condition)
    {
        return FMException(QStringLiteral("Invalid parameter"),
                           QStringLiteral("Invalid parameter not satisfying: ") + condition);
    }

private:
    QString m_name;
    QString m_reason;
};
