#pragma once

#include "scanning/RQDuplicateFinder.h"

// Duplicate groups made in memory for the interface benchmarks: varied names, extensions, sizes
// and creation dates (one member in ten has none), the same on every run.
RQDuplicateFinder::Groups makeUpGroups(int groupCount, int membersPerGroup);
