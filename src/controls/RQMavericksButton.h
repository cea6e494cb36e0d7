#pragma once

#include "controls/CellButton.h"

// A push button drawn at half opacity while disabled; interface files give it its cell.
class RQMavericksButton final : public CellButton
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RQMavericksButton)

public:
    explicit RQMavericksButton(QWidget *parent = nullptr);
};
