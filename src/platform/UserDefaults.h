#pragma once

#include <QSettings>
#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <mutex>

// A persistent key-value store with a registration domain, kept as an INI file.
//
// Reads look at the stored values first and then at the registered ones; registered values
// live in memory only and are never written to the file. Values keep their types (numbers,
// booleans, lists, dictionaries) through a write and a later read from a fresh object on the
// same file. The typed reads decide what a stored value means, so a value of the wrong type
// or an unreadable file gives 0 / NO instead of failing. Thread-safe.
class UserDefaults final
{
public:
    // The store in the XDG config folder ("<config>/Marrowick/Marrowick.ini", or the
    // organisation and application names when set); made on first use.
    static UserDefaults &standardUserDefaults();

    explicit UserDefaults(const QString &fileName);
    UserDefaults(const UserDefaults &) = delete;
    UserDefaults &operator=(const UserDefaults &) = delete;

    QString fileName() const;

    // Adds to (and replaces keys in) the registration domain.
    void registerDefaults(const QVariantMap &registrationDictionary);

    // The stored value, else the registered one, else an invalid QVariant.
    QVariant objectForKey(const QString &key) const;

    // Booleans as they are; numbers are YES when not 0; strings are YES when they read
    // "YES"/"true" (any case) or begin with a non-zero integer; anything else NO.
    bool boolForKey(const QString &key) const;
    // Numbers truncated towards zero; strings by their leading number; anything else 0.
    qint64 integerForKey(const QString &key) const;
    // As doubleForKey, rounded to single precision.
    float floatForKey(const QString &key) const;
    double doubleForKey(const QString &key) const;

    // An invalid value removes the key.
    void setObject(const QVariant &value, const QString &key);
    void removeObject(const QString &key);

    // Writes pending changes and reads changes made by others; answers whether the file
    // could be written.
    bool synchronize();

private:
    mutable std::mutex m_mutex;
    mutable QSettings m_settings;
    QVariantMap m_registered;
};
