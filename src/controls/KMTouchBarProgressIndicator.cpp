#include "controls/KMTouchBarProgressIndicator.h"

KMTouchBarProgressIndicator::KMTouchBarProgressIndicator(QWidget *parent)
    : ZPHSpinningProgressIndicator(parent)
{
    setColor(QColor::fromRgbF(0.1255F, 0.5804F, 0.9804F));
    setIndeterminate(true);
    setUsesThreadedAnimation(false);
}
