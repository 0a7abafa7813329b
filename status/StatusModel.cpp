#include "status/StatusModel.h"

#include "files/ShiftJis.h"

#include <QColor>

using namespace claims;

namespace status {
namespace {

bool ShowsUrgency(const StatusLine& line)
{
    return line.marked && IsOpen(line.state) && !line.beyondPeriod;
}

QString DaysText(const StatusLine& line)
{
    if (!line.marked || !IsOpen(line.state))
        return QString();
    if (line.beyondPeriod)
        return QStringLiteral("給付期間外");
    return line.daysLeft < 0 ? QStringLiteral("時効") : QString::number(line.daysLeft);
}

QString DaysSincePaidText(const StatusLine& line)
{
    return line.paidDate.isValid() ? QString::number(line.daysSincePaid) : QStringLiteral("支払日なし");
}

QString DateText(QDate date)
{
    return date.toString(QStringLiteral("yyyy/MM/dd"));
}

const QColor kRed(0xFF, 0x80, 0x80);
const QColor kOrange(0xFF, 0xB8, 0x60);

QString StateCell(const StatusLine& line)
{
    const QString state = StateText(line.state);
    return line.marked ? state : state + QStringLiteral(" 印なし");
}

} // namespace

QString MonthText(YearMonth month)
{
    return QStringLiteral("%1年%2月").arg(month.year).arg(month.month);
}

QColor UrgencyColour(const StatusLine& line)
{
    if (!ShowsUrgency(line))
        return QColor();
    switch (UrgencyOf(line.daysLeft)) {
    case Urgency::Lapsed: return kRed;
    case Urgency::Within30: return kOrange;
    case Urgency::Within90: return QColor(0xFF, 0xF0, 0x80);
    case Urgency::Later: break;
    }
    return QColor();
}

// Money or a receipt waiting 14 days is orange, 30 days red.
QColor WaitingColour(QDate since, int days)
{
    if (!since.isValid() || days < 14)
        return QColor();
    return days >= 30 ? kRed : kOrange;
}

void StatusModel::SetLines(const QList<ClaimOverview>* claims, QList<StatusLine> lines, StatusView view)
{
    beginResetModel();
    claims_ = claims;
    lines_ = std::move(lines);
    view_ = view;
    endResetModel();
}

QStringList StatusModel::ColumnNames() const
{
    QStringList names{QStringLiteral("期限"),   QStringLiteral("残り日数"), QStringLiteral("ID番号"),
                      QStringLiteral("氏名"),   QStringLiteral("回"),       QStringLiteral("受傷日"),
                      QStringLiteral("傷病名"), QStringLiteral("診療月"),   QStringLiteral("状況")};
    if (view_ == StatusView::Handover) {
        names[Deadline] = QStringLiteral("支払日");
        names[DaysLeft] = QStringLiteral("経過日数");
    } else if (view_ == StatusView::ReceiptOutstanding) {
        names[Deadline] = QStringLiteral("保護者支払日");
        names[DaysLeft] = QStringLiteral("経過日数");
    }
    return names;
}

QString StatusModel::Text(int row, int column) const
{
    const StatusLine& line = lines_[row];
    const ClaimOverview& claim = (*claims_)[line.claim];
    switch (Column(column)) {
    case Deadline:
        return DateText(view_ == StatusView::Handover             ? line.paidDate
                        : view_ == StatusView::ReceiptOutstanding ? line.handedDate
                                                                  : line.deadline);
    case DaysLeft:
        return view_ == StatusView::Handover             ? DaysSincePaidText(line)
               : view_ == StatusView::ReceiptOutstanding ? QString::number(line.daysSinceHanded)
                                                         : DaysText(line);
    case Id: return FromShiftJis(claim.id);
    case Name: return claim.name;
    case Occurrence: return QString::number(claim.occurrence);
    case InjuryDate: return claim.injuryDate;
    case Injury: return claim.injury;
    case Month: return MonthText(line.month);
    case State: return StateCell(line);
    case ColumnCount: break;
    }
    return QString();
}

QStringList StatusModel::RowTexts(int row) const
{
    QStringList texts;
    for (int c = 0; c < ColumnCount; ++c)
        texts.append(Text(row, c));
    return texts;
}

int StatusModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(lines_.size());
}

int StatusModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant StatusModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid())
        return QVariant();
    if (role == Qt::DisplayRole)
        return Text(index.row(), index.column());
    if (role == Qt::BackgroundRole) {
        const StatusLine& line = lines_[index.row()];
        const QColor colour = view_ == StatusView::Handover ? WaitingColour(line.paidDate, line.daysSincePaid)
                              : view_ == StatusView::ReceiptOutstanding
                                  ? WaitingColour(line.handedDate, line.daysSinceHanded)
                                  : UrgencyColour(line);
        return colour.isValid() ? QVariant(colour) : QVariant();
    }
    if (role == Qt::TextAlignmentRole && (index.column() == DaysLeft || index.column() == Occurrence))
        return int(Qt::AlignRight | Qt::AlignVCenter);
    return QVariant();
}

QVariant StatusModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return ColumnNames().value(section);
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace status
