#include "platform/SystemVersion.h"

namespace {

// What a system of 2023 reports; later than every threshold the program tests.
constexpr double currentSystemVersionNumber = 1953.1;

} // namespace

double coreFoundationVersionNumber()
{
    return currentSystemVersionNumber;
}
