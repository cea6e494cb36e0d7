#include "platform/ScriptingPredicate.h"

ScriptingPredicate ScriptingPredicate::orPredicate(const ScriptingPredicate &other) const
{
    return ScriptingPredicate(m_anyOf + other.m_anyOf);
}

bool ScriptingPredicate::evaluate(
    const std::function<QVariant(const QString &property)> &valueForProperty) const
{
    for (const Comparison &comparison : m_anyOf) {
        if (valueForProperty(comparison.property) == comparison.value)
            return true;
    }
    return false;
}
