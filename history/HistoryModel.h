#pragma once
// The lines of the history window: one per kept version, newest first,
// those the find field lets through. What each version changed is worked
// out only for the lines the table asks for, once each.

#include "claimstatus/HistoryList.h"

#include <QAbstractTableModel>
#include <QHash>

namespace history {

class HistoryModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Time, Pc, Kind, Id, Name, Occurrence, Change, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // listing must outlive the lines shown; versions index its versions.
    void SetLines(const claims::HistoryListing* listing, QList<int> versions);
    int Version(int row) const { return versions_[row]; }
    int RowOf(int version) const { return int(versions_.indexOf(version)); }

    QString Text(int row, int column) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    QString Summary(int version) const;

    const claims::HistoryListing* listing_ = nullptr;
    QList<int> versions_;
    mutable QHash<int, QString> summaries_;   // by version, for the lines shown so far
};

} // namespace history
