#pragma once

#include "controls/ZPHSpinningProgressIndicator.h"

// The blue spinning indicator of the Touch Bar views; it keeps time with the frame timer and
// never paints a frame at once.
class KMTouchBarProgressIndicator final : public ZPHSpinningProgressIndicator
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(KMTouchBarProgressIndicator)

public:
    explicit KMTouchBarProgressIndicator(QWidget *parent = nullptr);
};
