#pragma once

#include <QByteArray>
#include <QString>
#include <QVariant>

#include <optional>

// Reads property lists, XML or binary, into Qt values: dictionaries become QVariantMap,
// arrays QVariantList, strings QString, integers qint64, reals double, booleans bool, data
// QByteArray and dates QDateTime (UTC). Anything that is not a whole, well-formed property
// list gives no value; callers check the types of what they get.
class PropertyList final
{
public:
    static std::optional<QVariant> fromData(const QByteArray &data);
    static std::optional<QVariant> fromFile(const QString &path);

    PropertyList() = delete;
};
