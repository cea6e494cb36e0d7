#pragma once

#include <QColor>
#include <QIcon>
#include <QLinearGradient>
#include <QPalette>
#include <QRectF>
#include <QString>

#include <optional>

class QPainter;

// The look of a flat, rounded touch bar button with its own pressed look: a background colour
// (and optionally a gradient and an outline), the title, and an optional 16-point image. The
// pressed variants of each colour are used while mouseDown is set. Subclasses answer fixed
// colour sets.
class RQTouchBarButtonCell
{
public:
    RQTouchBarButtonCell() = default;
    virtual ~RQTouchBarButtonCell() = default;
    RQTouchBarButtonCell(const RQTouchBarButtonCell &) = delete;
    RQTouchBarButtonCell &operator=(const RQTouchBarButtonCell &) = delete;

    bool mouseDown() const { return m_mouseDown; }
    void setMouseDown(bool down) { m_mouseDown = down; }

    virtual QColor titleColor(const QPalette &palette) const;
    virtual QColor titleColorPressed(const QPalette &palette) const;
    virtual QColor backgroundColor(const QPalette &palette) const;
    virtual QColor backgroundColorPressed(const QPalette &palette) const;
    std::optional<QColor> strokeColor() const { return m_strokeColor; }
    void setStrokeColor(std::optional<QColor> color) { m_strokeColor = color; }
    std::optional<QColor> strokeColorPressed() const { return m_strokeColorPressed; }
    void setStrokeColorPressed(std::optional<QColor> color) { m_strokeColorPressed = color; }
    std::optional<QLinearGradient> backgroundGradient() const { return m_backgroundGradient; }
    void setBackgroundGradient(std::optional<QLinearGradient> gradient) { m_backgroundGradient = gradient; }
    void setBackgroundColor(const QColor &color) { m_backgroundColor = color; }
    void setTitleColor(const QColor &color) { m_titleColor = color; }
    // Always 6, whatever was stored.
    double cornerRadius() const { return 6; }

    // Where the parts go in a frame: the image 16 by 16 at x 10, and the title from x 32 with
    // an image (left-aligned) or over the whole frame without one (centred).
    static QRectF imageRect(const QRectF &frame);
    static QRectF titleRect(const QRectF &frame, bool hasImage);

    void draw(QPainter &painter, const QRectF &frame, const QString &title, const QIcon &image,
              const QPalette &palette) const;

private:
    bool m_mouseDown = false;
    std::optional<QColor> m_titleColor;
    std::optional<QColor> m_backgroundColor;
    std::optional<QColor> m_strokeColor;
    std::optional<QColor> m_strokeColorPressed;
    std::optional<QLinearGradient> m_backgroundGradient;
};

// Red: for the step that removes.
class RQRedTouchBarButtonCell final : public RQTouchBarButtonCell
{
public:
    QColor titleColor(const QPalette &palette) const override;
    QColor titleColorPressed(const QPalette &palette) const override;
    QColor backgroundColor(const QPalette &palette) const override;
    QColor backgroundColorPressed(const QPalette &palette) const override;
};

// Blue: for the step that goes on.
class RQBlueTouchBarButtonCell final : public RQTouchBarButtonCell
{
public:
    QColor titleColor(const QPalette &palette) const override;
    QColor titleColorPressed(const QPalette &palette) const override;
    QColor backgroundColor(const QPalette &palette) const override;
    QColor backgroundColorPressed(const QPalette &palette) const override;
};

// The desktop's own button colours.
class RQNormalTouchBarButtonCell final : public RQTouchBarButtonCell
{
public:
    QColor titleColor(const QPalette &palette) const override;
    QColor titleColorPressed(const QPalette &palette) const override;
    QColor backgroundColor(const QPalette &palette) const override;
    QColor backgroundColorPressed(const QPalette &palette) const override;
};
