#include "platform/gui/RunningApplications.h"

RunningApplications &RunningApplications::system()
{
    static RunningApplications applications;
    return applications;
}
