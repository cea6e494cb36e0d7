#include "foundation/RQDictionaryUtilities.h"

std::optional<QVariantMap> rq_dictionaryByReplacingObject(const QVariantMap &dictionary,
                                                          const QVariant &object,
                                                          const QString &key)
{
    if (!object.isValid() || key.isNull())
        return std::nullopt;
    QVariantMap result = dictionary;
    result.insert(key, object);
    return result;
}

QVariantMap rq_dictionaryByMergingWithDictionary(const QVariantMap &dictionary,
                                                 const QVariantMap &other)
{
    QVariantMap result = dictionary;
    result.insert(other);
    return result;
}
