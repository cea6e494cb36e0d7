#pragma once

#include <QList>
#include <QString>
#include <QVariant>

#include <functional>

// A filter that a scriptable application evaluates against its own objects: true when any
// of its comparisons holds, a comparison being "property == value". Plain value; any thread.
class ScriptingPredicate final
{
public:
    struct Comparison
    {
        QString property;
        QVariant value;
        bool operator==(const Comparison &) const = default;
    };

    ScriptingPredicate() = default;
    explicit ScriptingPredicate(QList<Comparison> anyOf) : m_anyOf(std::move(anyOf)) {}

    // The OR of both predicates' comparisons, in order.
    ScriptingPredicate orPredicate(const ScriptingPredicate &other) const;

    const QList<Comparison> &comparisons() const { return m_anyOf; }
    // Evaluates against an object whose properties the lookup gives. No comparison: false.
    bool evaluate(const std::function<QVariant(const QString &property)> &valueForProperty) const;

    bool operator==(const ScriptingPredicate &) const = default;

private:
    QList<Comparison> m_anyOf;
};
