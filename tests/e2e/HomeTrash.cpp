#include "HomeTrash.h"

#include <QDir>
#include <QFile>
#include <QUrl>

using namespace Qt::StringLiterals;

HomeTrash::HomeTrash(QString folder)
    : m_folder(std::move(folder))
{
}

QMap<QString, QString> HomeTrash::items() const
{
    QMap<QString, QString> items;
    const QDir info(m_folder + u"/info"_s);
    for (const QString &name : info.entryList({u"*.trashinfo"_s}, QDir::Files | QDir::Hidden)) {
        QFile file(info.filePath(name));
        if (!file.open(QIODevice::ReadOnly))
            continue;
        const QList<QByteArray> lines = file.readAll().split('\n');
        for (const QByteArray &line : lines) {
            if (!line.startsWith("Path="))
                continue;
            const QString original = QUrl::fromPercentEncoding(line.mid(5).trimmed());
            items.insert(original, m_folder + u"/files/"_s + name.chopped(int(qstrlen(".trashinfo"))));
        }
    }
    return items;
}
