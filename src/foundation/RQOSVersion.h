#pragma once

// Whether the running system is at least a given version, measured by its Core Foundation
// version number (platform/SystemVersion.h). Pure; any thread.

bool rq_isOperatingSystemAtLeastVersion(double version);
bool rq_isOperatingSystemAtLeast10_9();
bool rq_isOperatingSystemAtLeast10_10();
bool rq_isOperatingSystemAtLeast10_10_3();
bool rq_isOperatingSystemAtLeast10_15();
