#include "controls/RQMavericksButton.h"

RQMavericksButton::RQMavericksButton(QWidget *parent) : CellButton(parent)
{
    setDisabledOpacity(0.5);
}
