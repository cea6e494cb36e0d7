#include "platform/PropertyList.h"

#include <QDateTime>
#include <QFile>
#include <QVariantList>
#include <QVariantMap>

#include <plist/plist.h>

#include <cstdlib>
#include <limits>
#include <memory>

namespace {

struct PlistDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistHandle = std::unique_ptr<void, PlistDeleter>;

// Property list dates count seconds from 2001-01-01 00:00:00 UTC.
const QDateTime &referenceDate()
{
    static const QDateTime reference(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC);
    return reference;
}

QVariant toVariant(plist_t node);

QString takeString(char *text)
{
    const QString value = text ? QString::fromUtf8(text) : QString();
    std::free(text);
    return value;
}

QVariant dictionaryToVariant(plist_t node)
{
    QVariantMap map;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(node, &iterator);
    if (!iterator)
        return map;
    for (;;) {
        char *key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(node, iterator, &key, &value);
        if (!value) {
            std::free(key);
            break;
        }
        map.insert(takeString(key), toVariant(value));
    }
    std::free(iterator);
    return map;
}

QVariant arrayToVariant(plist_t node)
{
    QVariantList list;
    const uint32_t size = plist_array_get_size(node);
    list.reserve(static_cast<qsizetype>(size));
    for (uint32_t index = 0; index < size; ++index)
        list.append(toVariant(plist_array_get_item(node, index)));
    return list;
}

QVariant dataToVariant(plist_t node)
{
    char *bytes = nullptr;
    uint64_t length = 0;
    plist_get_data_val(node, &bytes, &length);
    const QByteArray value(bytes, static_cast<qsizetype>(length));
    std::free(bytes);
    return value;
}

QVariant dateToVariant(plist_t node)
{
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    const qint64 milliseconds = qint64(seconds) * 1000 + microseconds / 1000;
    return referenceDate().addMSecs(milliseconds);
}

QVariant toVariant(plist_t node)
{
    switch (plist_get_node_type(node)) {
    case PLIST_DICT:
        return dictionaryToVariant(node);
    case PLIST_ARRAY:
        return arrayToVariant(node);
    case PLIST_STRING:
    case PLIST_KEY: {
        char *text = nullptr;
        plist_get_string_val(node, &text);
        return takeString(text);
    }
    case PLIST_BOOLEAN: {
        uint8_t value = 0;
        plist_get_bool_val(node, &value);
        return bool(value);
    }
    case PLIST_UINT: {
        uint64_t value = 0;
        plist_get_uint_val(node, &value);
        // Stored as 64 bits two's complement: negative integers come back as large values.
        return static_cast<qint64>(value);
    }
    case PLIST_REAL: {
        double value = 0;
        plist_get_real_val(node, &value);
        return value;
    }
    case PLIST_DATA:
        return dataToVariant(node);
    case PLIST_DATE:
        return dateToVariant(node);
    case PLIST_UID: {
        uint64_t value = 0;
        plist_get_uid_val(node, &value);
        return static_cast<qint64>(value);
    }
    case PLIST_NONE:
        break;
    }
    return {};
}

} // namespace

std::optional<QVariant> PropertyList::fromData(const QByteArray &data)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max())
        return std::nullopt;
    plist_t root = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &root);
    if (!root)
        return std::nullopt;
    const PlistHandle handle(root);
    return toVariant(root);
}

std::optional<QVariant> PropertyList::fromFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return fromData(file.readAll());
}
