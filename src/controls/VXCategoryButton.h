#pragma once

#include <QAbstractButton>

// One category of the results' category bar: a white title, and a dark capsule with soft
// inner edges behind it while it is the chosen category. Checkable; the bar puts its buttons
// in an exclusive group.
class VXCategoryButton final : public QAbstractButton
{
    Q_OBJECT

public:
    explicit VXCategoryButton(QWidget *parent = nullptr);
    Q_DISABLE_COPY_MOVE(VXCategoryButton)

    // The result category the button stands for: 0 all, 1 folders ... 8 other.
    qint64 representedCategory() const { return m_representedCategory; }
    void setRepresentedCategory(qint64 category) { m_representedCategory = category; }

    QSize sizeHint() const override;

    static QColor capsuleColor();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qint64 m_representedCategory = 0;
};
