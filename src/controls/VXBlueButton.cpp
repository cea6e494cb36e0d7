#include "controls/VXBlueButton.h"

#include "controls/VXBlueButtonCell.h"

VXBlueButton::VXBlueButton(QWidget *parent) : RQButton(parent)
{
    setFlat(true);
    setTextShadow(RQShadow{QColor::fromRgbF(0, 0, 0, 0.65f), 1, QPointF(0, -1)});
    setTitleColor(Qt::white);
    setCell(std::make_unique<VXBlueButtonCell>());
    setDisabledOpacity(0.6);
}

void VXBlueButton::setSuccess(bool success)
{
    if (success == m_success)
        return;
    m_success = success;
    // An interface file may have given the button another kind of cell, which has no green.
    if (auto *cell = dynamic_cast<VXBlueButtonCell *>(&mutableCell()))
        cell->setSuccess(success);
    update();
}

void VXBlueButton::startProgress()
{
    m_oldTitle = title();
    setTitle(QString());
}

void VXBlueButton::stopProgress()
{
    setTitle(m_oldTitle);
    m_oldTitle.clear();
}
