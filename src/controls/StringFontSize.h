#pragma once

#include <QFont>
#include <QSizeF>
#include <QString>

#include <functional>
#include <optional>

// How large a text comes out in a font.
using TextMeasure = std::function<QSizeF(const QString &text, const QFont &font)>;

// The scale that fits a thing into a box less padding, keeping its aspect.
double rq_scaleToAspectFit(const QSizeF &thing, const QSizeF &box, double padding);

// The base font at the size that makes text fill the box: the text is measured at 12 pixels
// and the font scaled from there. None for an empty text, or when no sensible size comes out
// (nothing measured, a box side of 0 or less); callers keep their font then.
std::optional<QFont> rq_fontToFitSize(const QString &text, const QSizeF &box,
                                      const QFont &baseFont, const TextMeasure &measure = {});

// Font sizes here are in device-independent pixels, which QFont takes in whole numbers only;
// fractional sizes go through points at Qt's reference 96 dots per inch.
QFont rq_fontWithPixelSize(const QFont &font, qreal pixels);
qreal rq_fontPixelSize(const QFont &font);
