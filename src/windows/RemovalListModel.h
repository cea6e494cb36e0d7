#pragma once

#include "controls/ResultRoles.h"
#include "removal/KMHSErrorDictionary.h"

#include <QAbstractListModel>

#include <memory>
#include <vector>

class RQFile;

// The removal sheet's list: one row per file, its whole path (a folder's without the trailing
// "/") as the name and its type's icon. A row whose file failed shows the caution icon, the
// failure's message in the subtitle and a tick that cannot change. Ticking a row sets the
// file's flag and posts "RQDidToggleSelected", so the results browser hears it too. Rows are
// painted by the file row delegate from roles only: no widget per row. Main thread only.
class RemovalListModel final : public QAbstractListModel, public FileRowRoles
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(RemovalListModel)

public:
    using FileList = std::vector<std::shared_ptr<RQFile>>;

    explicit RemovalListModel(FileList files, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    bool setData(const QModelIndex &index, const QVariant &value, int role = Qt::EditRole) override;

    const FileList &files() const { return m_files; }
    std::shared_ptr<RQFile> fileAt(int row) const { return m_files.at(std::size_t(row)); }
    bool hasSelectedFile() const;
    FileList selectedFiles() const;

    // Keeps only the files that failed, in their order, unticks them and shows their messages.
    void showFailures(const KMHSErrorDictionary &errors);
    bool hasFailed(const RQFile &file) const;
    QString messageForFile(const RQFile &file) const;

    // The path shown for a file: a folder's without its trailing "/".
    static QString displayPath(const RQFile &file);

private:
    FileList m_files;
    KMHSErrorDictionary m_errors;
};
