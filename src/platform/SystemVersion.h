#pragma once

// The version number by which the program judges how new the running system is, on the
// scale of the Core Foundation version numbers the program's thresholds are written in.
// Linux offers every service the newest thresholds stand for, so it answers as a current
// system does.
double coreFoundationVersionNumber();
