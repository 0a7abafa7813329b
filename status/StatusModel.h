#pragma once
// The lines of the deadline list as the table shows them: texts, colours
// and the same texts for printing and export. Lines awaiting handover show
// 支払日 and 経過日数 in the first two columns instead.

#include "claimstatus/ClaimList.h"

#include <QAbstractTableModel>
#include <QStringList>

namespace status {

class StatusModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Deadline, DaysLeft, Id, Name, Occurrence, InjuryDate, Injury, Month, State, ColumnCount };

    using QAbstractTableModel::QAbstractTableModel;

    // claims must outlive the lines shown.
    // The view decides the first two columns: the deadline and the days left,
    // or for 未渡し the paid date, for 受領書未回収 the day handed over, and
    // the days since.
    void SetLines(const QList<claims::ClaimOverview>* claims, QList<claims::StatusLine> lines,
                  claims::StatusView view = claims::StatusView::Open);
    const claims::StatusLine& Line(int row) const { return lines_[row]; }

    QStringList ColumnNames() const;
    QString Text(int row, int column) const;
    QStringList RowTexts(int row) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const QList<claims::ClaimOverview>* claims_ = nullptr;
    QList<claims::StatusLine> lines_;
    claims::StatusView view_ = claims::StatusView::Open;
};

// A calendar month as the list and the month dialog show it: 「2024年6月」.
QString MonthText(claims::YearMonth month);

// Open months by urgency: red once lapsed, orange within 30 days, yellow
// within 90; none for other lines.
QColor UrgencyColour(const claims::StatusLine& line);

// Months awaiting handover by the days since the school was paid: orange
// from 14 days, red from 30; none without a paid date.
QColor HandoverColour(const claims::StatusLine& line);

} // namespace status
