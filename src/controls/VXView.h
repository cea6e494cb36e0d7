#pragma once

#include "platform/gui/NamedImage.h"

#include <QColor>
#include <QWidget>

// A plain view with an optional rounded shape: filled with a colour, outlined, and showing an
// image clipped to the shape.
class VXView : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VXView)
    Q_PROPERTY(QColor backgroundColor READ backgroundColor WRITE setBackgroundColor)
    Q_PROPERTY(QString backgroundImageName READ backgroundImageName WRITE setBackgroundImageName)
    Q_PROPERTY(double cornerRadius READ cornerRadius WRITE setCornerRadius)
    Q_PROPERTY(QColor borderColor READ borderColor WRITE setBorderColor)
    Q_PROPERTY(double borderWidth READ borderWidth WRITE setBorderWidth)

public:
    explicit VXView(QWidget *parent = nullptr);

    QColor backgroundColor() const { return m_backgroundColor; }
    void setBackgroundColor(const QColor &color);
    NamedImage backgroundImage() const { return m_backgroundImage; }
    void setBackgroundImage(const NamedImage &image);
    // The background image by its name, as interface files give it.
    QString backgroundImageName() const { return m_backgroundImage.name(); }
    void setBackgroundImageName(const QString &name);
    double cornerRadius() const { return m_cornerRadius; }
    void setCornerRadius(double radius);
    // The border is drawn only with both a valid colour and a width other than 0.
    QColor borderColor() const { return m_borderColor; }
    void setBorderColor(const QColor &color);
    double borderWidth() const { return m_borderWidth; }
    void setBorderWidth(double width);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool hasBorder() const;

    QColor m_backgroundColor;
    NamedImage m_backgroundImage;
    double m_cornerRadius = 0;
    QColor m_borderColor;
    double m_borderWidth = 0;
};
