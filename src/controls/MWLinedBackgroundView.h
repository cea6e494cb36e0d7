#pragma once

#include <QColor>
#include <QWidget>

// A background of fine vertical lines: 1-point lines every 2 points from the left edge, over
// an optional background colour.
class MWLinedBackgroundView final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(MWLinedBackgroundView)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QColor lineColor READ lineColor WRITE setLineColor)

public:
    explicit MWLinedBackgroundView(QWidget *parent = nullptr);

    // Invalid (the default) leaves the background clear.
    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    // Invalid (the default) is replaced by a pale blue-grey at the first drawing.
    QColor lineColor() const { return m_lineColor; }
    void setLineColor(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_backgroundColor;
    QColor m_lineColor;
};
