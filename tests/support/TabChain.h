#pragma once

#include <QList>

class QWidget;

// The widgets that Tab reaches from start, pressed key by key, until the focus comes round to
// one already reached. The start's window must be the active one.
QList<QWidget *> tabStops(QWidget *start);
