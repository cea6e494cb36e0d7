#pragma once

#include "controls/AttributedTitle.h"

#include <QColor>
#include <QRectF>
#include <QSizeF>

class QPainter;

// Draws attributed titles. Each title is rendered with its shadow once per pixel ratio and
// kept for the whole process, so painting a button does not blur its title again. Main
// thread only.
class TitlePainter final
{
public:
    // The size of the text alone, without its shadow.
    static QSizeF size(const AttributedTitle &title);
    // Draws the title centred in rect, in the title's colour or, without one, in fallback.
    static void draw(QPainter &painter, const AttributedTitle &title, const QRectF &rect,
                     const QColor &fallback);
};
