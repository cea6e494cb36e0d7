#pragma once

#include <QString>

#include <compare>

// Compares two strings character by character, except that runs of ASCII digits compare by
// their numeric value, so "10.0" is greater than "9.2" and "9.6.1" greater than "9.0". Runs of
// any length compare correctly (no overflow). Where one string is a prefix of the other, the
// shorter is less. Used for version strings.
std::strong_ordering compareNumerically(const QString &left, const QString &right);
