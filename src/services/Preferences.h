#pragma once

#include <QMap>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <optional>

class UserDefaults;

// The process-wide settings: thirteen user-defaults keys mirrored in thirteen properties.
//
// Made on first use; it registers seven defaults, loads every value once, and from then on
// every setter writes its key back to the user defaults and synchronises them, also when the
// value does not change. The rest of the program reads and sets these properties and never
// touches the keys directly. Setters are called on the main thread; the remover reads
// useTrash and useHardLinks on its own queue while nothing sets them, so no lock is taken.
class Preferences final
{
public:
    // The shared instance over the standard user defaults and the bundled property lists
    // ":/plists/DefaultIgnoredExtensions.plist" and ":/plists/IgnoreList.plist".
    // Once-only and safe from any thread; it lives for the rest of the process.
    static Preferences &sharedPreferences();

    // A store over the given user defaults, which must outlive it; the two resource paths
    // name the property lists of the default extensions and the default folders (the
    // "Preferences" entry of the second).
    Preferences(UserDefaults &defaults, const QString &defaultExtensionsResource,
                const QString &ignoreListResource);
    Preferences(const Preferences &) = delete;
    Preferences &operator=(const Preferences &) = delete;

    // Extensions (lower case, no dot) and folders that the scan skips. Setting nothing
    // removes the key, so the next launch shows the registered default again; in memory the
    // property is then empty until set again.
    QStringList ignoreList() const { return m_ignoreList; }
    void setIgnoreList(const std::optional<QStringList> &ignoreList);
    QStringList ignoredPaths() const { return m_ignoredPaths; }
    void setIgnoredPaths(const std::optional<QStringList> &ignoredPaths);

    // Bytes; stored values are taken at single precision.
    double minFileSize() const { return m_minFileSize; }
    void setMinFileSize(double minFileSize);
    // The unit index in which the minimum size is shown: 0 bytes, 1 KB, 2 MB, 3 GB ...
    qint64 minFileSizeType() const { return m_minFileSizeType; }
    void setMinFileSizeType(qint64 minFileSizeType);

    bool useTrash() const { return m_useTrash; }
    void setUseTrash(bool useTrash);
    // Replace each removed copy by a symbolic link to the kept copy.
    bool useHardLinks() const { return m_useHardLinks; }
    void setUseHardLinks(bool useHardLinks);
    // 0 keeps the oldest file of a group, any other value the newest.
    qint64 autoSelectType() const { return m_autoSelectType; }
    void setAutoSelectType(qint64 autoSelectType);

    bool suppressSelectAllWarning() const { return m_suppressSelectAllWarning; }
    void setSuppressSelectAllWarning(bool suppress);
    bool suppressFinderWarning() const { return m_suppressFinderWarning; }
    void setSuppressFinderWarning(bool suppress);
    bool suppressSelectAllFilesWarning() const { return m_suppressSelectAllFilesWarning; }
    void setSuppressSelectAllFilesWarning(bool suppress);
    bool suppressDeselectAllFilesWarning() const { return m_suppressDeselectAllFilesWarning; }
    void setSuppressDeselectAllFilesWarning(bool suppress);

    qint64 timesRun() const { return m_timesRun; }
    void setTimesRun(qint64 timesRun);
    bool firstRun() const { return m_firstRun; }
    void setFirstRun(bool firstRun);

    // Property name -> user-defaults key; the setters write through it.
    QMap<QString, QString> propertyMap() const { return m_propertyMap; }
    void setPropertyMap(const QMap<QString, QString> &propertyMap) { m_propertyMap = propertyMap; }

    // Kept for callers that count launches; the count is left as it is.
    void incrementTimesRun() {}

private:
    void setupDefaults();
    void populateProperties();
    // The stored value of the key when it is a number within the range, else the fallback
    // (missing, garbage, of another type or out of range), with a log line.
    double checkedNumber(const QString &key, double lowest, double highest, double fallback) const;
    QStringList defaultIgnoreList() const;
    QStringList defaultIgnoredPaths() const;
    void writeBack(const QString &propertyName, const QVariant &value);
    template <typename Value>
    void assign(Value &member, Value value, const QString &propertyName);

    UserDefaults &m_defaults;
    QString m_defaultExtensionsResource;
    QString m_ignoreListResource;

    QStringList m_ignoreList;
    QStringList m_ignoredPaths;
    double m_minFileSize = 0.0;
    qint64 m_minFileSizeType = 0;
    bool m_useTrash = false;
    bool m_useHardLinks = false;
    qint64 m_autoSelectType = 0;
    bool m_suppressSelectAllWarning = false;
    bool m_suppressFinderWarning = false;
    bool m_suppressSelectAllFilesWarning = false;
    bool m_suppressDeselectAllFilesWarning = false;
    qint64 m_timesRun = 0;
    bool m_firstRun = false;
    QMap<QString, QString> m_propertyMap;
};
