#pragma once

#include <QVariant>
#include <QWidget>

// A pane that looks set into its surroundings: a soft inner shadow along one side.
class VXRecessedPane final : public QWidget
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VXRecessedPane)
    Q_PROPERTY(double blurRadius READ blurRadius WRITE setBlurRadius)
    Q_PROPERTY(QVariant shadowSideObj READ shadowSideObj WRITE setShadowSideObj)

public:
    enum ShadowSide { Left = 0, Right = 1, Top = 2, Bottom = 3 };

    explicit VXRecessedPane(QWidget *parent = nullptr);

    // How deep the shadow reaches into the pane, in points. Setting it does not redraw.
    double blurRadius() const { return m_blurRadius; }
    void setBlurRadius(double radius);
    // The side as ShadowSide; any other value means the left. Setting it does not redraw.
    int shadowSide() const { return m_shadowSide; }
    void setShadowSide(int side);
    // The side as interface files give it: a changed value sets the side and redraws.
    QVariant shadowSideObj() const { return m_shadowSideObj; }
    void setShadowSideObj(const QVariant &side);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    double m_blurRadius = 3;
    int m_shadowSide = Left;
    QVariant m_shadowSideObj;
};
