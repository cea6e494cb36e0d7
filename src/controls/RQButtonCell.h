#pragma once

#include "controls/AttributedTitle.h"

#include <QRectF>
#include <QString>

#include <memory>

class CellButton;
class QPainter;

// Draws a button in three steps, bezel, interior (image and title) and, with the keyboard
// focus, a focus ring, each of which a subclass may draw its own way. This standard cell draws
// as the style draws a push button; titles with a shadow or kerning go through drawTitle.
// Frames are in the button's coordinates (y grows downwards).
class RQButtonCell
{
public:
    RQButtonCell() = default;
    virtual ~RQButtonCell() = default;
    Q_DISABLE_COPY_MOVE(RQButtonCell)

    // The cell of that class name, or null for a name no cell has.
    static std::unique_ptr<RQButtonCell> cellNamed(const QString &className);

    void draw(QPainter &painter, const CellButton &button) const;

    virtual void drawBezel(QPainter &painter, const QRectF &frame, const CellButton &button) const;
    virtual void drawInterior(QPainter &painter, const QRectF &frame, const CellButton &button) const;
    // Draws the title in frame and answers the rectangle it was drawn in.
    virtual QRectF drawTitle(QPainter &painter, const AttributedTitle &title, const QRectF &frame,
                             const CellButton &button) const;
    virtual void drawFocusRing(QPainter &painter, const QRectF &frame, const CellButton &button) const;

protected:
    // Whether the title goes through drawTitle rather than the style's label.
    virtual bool drawsTitleItself(const CellButton &button) const;
    // A focus ring following a pill-shaped button's outline.
    static void drawPillFocusRing(QPainter &painter, const QRectF &frame);
    // The rectangle of a title of titleHeight whose top is at y, across the frame.
    static QRectF titleLine(const QRectF &frame, qreal y, qreal titleHeight);
};
