#include "fmdb/FMDescription.h"

QString fm_objectDescription(const char *className, const void *object)
{
    return u'<' + QString::fromLatin1(className) + QStringLiteral(": 0x") +
        QString::number(reinterpret_cast<quintptr>(object), 16) + u'>';
}
