#pragma once

#include "platform/ScriptingObject.h"

// A scriptable application, reached by bundle identifier through ScriptingBridge. Its
// className() tells which scripting dictionary it speaks; an application that cannot be
// scripted answers a class name of its own and none of the calls of a dictionary.
class ScriptingApplication : public ScriptingObject
{
public:
    virtual bool isRunning() const = 0;
    // Starts the application when it is not running and brings it forward.
    virtual void activate() = 0;
};
