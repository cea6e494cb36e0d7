#pragma once

#include <QSortFilterProxyModel>

#include <functional>

// Passes a file-system model through unchanged, except that the entries the predicate refuses
// are shown disabled and cannot be selected. The predicate gets the entry's absolute path.
class ShouldEnableProxyModel final : public QSortFilterProxyModel
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(ShouldEnableProxyModel)

public:
    using ShouldEnable = std::function<bool(const QString &path)>;

    explicit ShouldEnableProxyModel(ShouldEnable shouldEnable, QObject *parent = nullptr);

    bool shouldEnable(const QString &path) const;

    Qt::ItemFlags flags(const QModelIndex &index) const override;

private:
    ShouldEnable m_shouldEnable;
};
