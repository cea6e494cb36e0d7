#pragma once

#include <QString>
#include <QVariantMap>

#include <optional>

// Copies of a dictionary with entries changed. Pure; any thread.

// The dictionary with the object stored under the key; no value when the object is invalid
// or the key is a null string.
std::optional<QVariantMap> rq_dictionaryByReplacingObject(const QVariantMap &dictionary,
                                                          const QVariant &object,
                                                          const QString &key);

// The dictionary with every entry of the other stored into it; the other's entries win.
QVariantMap rq_dictionaryByMergingWithDictionary(const QVariantMap &dictionary,
                                                 const QVariantMap &other);
