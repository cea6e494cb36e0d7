#pragma once

#include "platform/ScriptingPredicate.h"

#include <QList>
#include <QString>

#include <memory>

// The elements of one kind that an application object holds (its photos, its albums ...),
// asked for lazily: nothing is fetched until an element is named or the array is filtered.
template <typename Element>
class ScriptingElementArray
{
public:
    ScriptingElementArray() = default;
    virtual ~ScriptingElementArray() = default;
    ScriptingElementArray(const ScriptingElementArray &) = delete;
    ScriptingElementArray &operator=(const ScriptingElementArray &) = delete;

    // A reference to the element with that identifier; it answers an empty id() when the
    // application has no such element. Never null.
    virtual std::shared_ptr<Element> objectWithID(const QString &identifier) const = 0;
    // The elements for which the application finds the predicate true, in its order.
    virtual QList<std::shared_ptr<Element>>
    filteredArrayUsingPredicate(const ScriptingPredicate &predicate) const = 0;
};
