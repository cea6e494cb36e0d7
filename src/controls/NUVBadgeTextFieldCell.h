#pragma once

#include <QColor>
#include <QFont>
#include <QRectF>
#include <QSizeF>
#include <QString>

class QPainter;

// The badge that counts a group's ticked copies: a capsule of colour behind its text, grey-
// blue normally and red when every copy is ticked, white with dark text on a selected row.
// The capsule keeps its right edge 1 point inside the cell and grows leftwards with the text.
class NUVBadgeTextFieldCell final
{
public:
    NUVBadgeTextFieldCell();

    static QColor defaultColor();
    static QColor highlightColor();
    QColor bgColor() const { return m_bgColor; }
    void setBgColor(const QColor &color) { m_bgColor = color; }
    void restoreDefaultColor() { m_bgColor = defaultColor(); }
    void setHighlightColor() { m_bgColor = highlightColor(); }

    // Bold system font of 11 points with a kern of -0.25.
    static QFont badgeFont();
    static QColor textColor(bool darkBackground);

    static QRectF resultingBoundsWithCellFrame(const QRectF &cellFrame);
    static QSizeF badgeValueSize(const QString &text);
    static QRectF badgeBackgroundRectWithResultingBounds(const QRectF &bounds, const QString &text);
    static QRectF badgeValueRectWithResultingBounds(const QRectF &bounds, const QString &text);

    void drawWithFrame(QPainter &painter, const QRectF &cellFrame, const QString &text,
                       bool darkBackground) const;

private:
    QColor m_bgColor;
};
