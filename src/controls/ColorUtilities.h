#pragma once

#include <QColor>

// Colours given on an easy scale: hue in degrees (0 to 360), saturation and brightness in
// percent (0 to 100), alpha 0 to 1. Answered as sRGB colours.
QColor rq_colorWithEasyHue(double hue, double saturation, double brightness, double alpha = 1);
