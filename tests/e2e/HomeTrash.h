#pragma once

#include <QMap>
#include <QString>

// The freedesktop.org home Trash as the application leaves it: which original paths it holds
// (from the Path= lines of info/*.trashinfo, decoded) and where each one's content now lies.
class HomeTrash final
{
public:
    explicit HomeTrash(QString folder);

    // Original path -> its entry in files/.
    QMap<QString, QString> items() const;

private:
    QString m_folder;
};
