#include "foundation/RQOSVersion.h"

#include "platform/SystemVersion.h"

bool rq_isOperatingSystemAtLeastVersion(double version)
{
    return coreFoundationVersionNumber() >= version;
}

bool rq_isOperatingSystemAtLeast10_9()
{
    return rq_isOperatingSystemAtLeastVersion(855.11);
}

bool rq_isOperatingSystemAtLeast10_10()
{
    return rq_isOperatingSystemAtLeastVersion(1151.16);
}

bool rq_isOperatingSystemAtLeast10_10_3()
{
    return rq_isOperatingSystemAtLeastVersion(1153.18);
}

bool rq_isOperatingSystemAtLeast10_15()
{
    return rq_isOperatingSystemAtLeastVersion(1656.0);
}
