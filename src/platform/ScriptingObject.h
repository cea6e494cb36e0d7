#pragma once

#include <QString>

// A reference to an object inside a scriptable application. Every call goes to the
// application and blocks until it answers. Made and used on one thread at a time.
class ScriptingObject
{
public:
    ScriptingObject() = default;
    virtual ~ScriptingObject() = default;
    ScriptingObject(const ScriptingObject &) = delete;
    ScriptingObject &operator=(const ScriptingObject &) = delete;

    // The object's class as the application's scripting dictionary names it.
    virtual QString className() const = 0;
    // Whether the object's class knows the property or command of that name.
    virtual bool respondsToSelector(const QString &selector) const = 0;
    // The object's identifier in the application; empty when the reference names nothing
    // there (a specifier for an unknown identifier resolves only when asked).
    virtual QString id() const = 0;
};
