#pragma once

#include <QString>

class XServer;

// What the test program's start set up for every test: the private X server, or why none runs.
namespace E2eSession {

XServer *xServer();
QString whyNoXServer();
// The application of this build.
QString program();

} // namespace E2eSession
