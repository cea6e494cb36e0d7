#pragma once

#include <QString>

// The default text of an object in log lines: "<ClassName: 0x1234abcd>".
QString fm_objectDescription(const char *className, const void *object);
