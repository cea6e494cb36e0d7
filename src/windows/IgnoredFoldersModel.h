#pragma once

#include <QAbstractListModel>
#include <QStringList>

#include <functional>

class QMimeData;

// The ignored folders of the Preferences window, one path a row, and the drop target for
// folders dragged from a file manager. A drop is taken whole or not at all: it must carry
// local-file URLs only, and the drop rule must accept every one of their paths. The model
// does not add dropped paths itself: it hands them on with pathsDropped.
class IgnoredFoldersModel final : public QAbstractListModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(IgnoredFoldersModel)

public:
    using DropRule = std::function<bool(const QString &path)>;

    explicit IgnoredFoldersModel(QObject *parent = nullptr);

    const QStringList &paths() const { return m_paths; }
    void setPaths(const QStringList &paths);
    void appendPaths(const QStringList &paths);
    // Removes the rows at those indexes (any order; out-of-range ones are skipped).
    void removePathsAt(QList<int> rows);

    // Without a rule every drop of local files is accepted.
    void setDropRule(DropRule rule) { m_dropRule = std::move(rule); }
    // The paths of the local files a drag carries; none when it carries anything else.
    static QStringList localFilePaths(const QMimeData *data);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    QStringList mimeTypes() const override;
    Qt::DropActions supportedDropActions() const override;
    bool canDropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                         const QModelIndex &parent) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
                      const QModelIndex &parent) override;

signals:
    void pathsDropped(const QStringList &paths);

private:
    QStringList m_paths;
    DropRule m_dropRule;
};
