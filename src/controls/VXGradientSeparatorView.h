#pragma once

#include "controls/RQShadow.h"

#include <QColor>
#include <QLinearGradient>
#include <QWidget>

// A dark bar with a lighter top, a border line along the top and another 3 points above the
// bottom edge, each casting a soft shadow downwards, and a faint highlight above the lower one.
class VXGradientSeparatorView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VXGradientSeparatorView)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)

public:
    explicit VXGradientSeparatorView(QWidget *parent = nullptr);

    // Kept for whoever configures the view; the drawing uses a fixed gradient of its own.
    QLinearGradient gradient() const { return m_gradient; }
    void setGradient(const QLinearGradient &gradient);
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    RQShadow borderShadow() const { return m_borderShadow; }
    void setBorderShadow(const RQShadow &shadow);
    RQShadow topShadow() const { return m_topShadow; }
    void setTopShadow(const RQShadow &shadow);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void drawBody(QPainter &painter) const;
    void drawBorder(QPainter &painter, qreal yUp, const RQShadow &shadow) const;
    void drawTopBorder(QPainter &painter) const;
    void drawBottomHighlight(QPainter &painter) const;
    void drawBottomBorder(QPainter &painter) const;
    QRectF band(qreal yUp, qreal height) const;

    QLinearGradient m_gradient;
    QColor m_borderColor;
    RQShadow m_borderShadow;
    RQShadow m_topShadow;
};
