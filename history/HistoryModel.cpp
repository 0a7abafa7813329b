#include "history/HistoryModel.h"

#include "files/ShiftJis.h"

using namespace claims;

namespace history {

void HistoryModel::SetLines(const HistoryListing* listing, QList<int> versions)
{
    beginResetModel();
    if (listing != listing_)
        summaries_.clear();
    listing_ = listing;
    versions_ = std::move(versions);
    endResetModel();
}

QString HistoryModel::Summary(int version) const
{
    auto known = summaries_.constFind(version);
    if (known == summaries_.cend())
        known = summaries_.insert(version, SummaryOf(*listing_, version));
    return *known;
}

QString HistoryModel::Text(int row, int column) const
{
    const int version = versions_[row];
    const HistoryVersion& v = listing_->versions[version];
    const HistoryFile& file = listing_->files[v.file];
    switch (column) {
    case Time: return VersionTimeText(v.fileName);
    case Pc: return VersionPc(v.fileName);
    case Kind: return HistoryKindText(file.kind);
    case Id: return FromShiftJis(file.id);
    case Name: return file.name;
    case Occurrence: return QString::number(file.occurrence);
    case Change: return Summary(version);
    }
    return QString();
}

int HistoryModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : int(versions_.size());
}

int HistoryModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant HistoryModel::data(const QModelIndex& index, int role) const
{
    const bool tip = role == Qt::ToolTipRole && index.column() == Change;   // the whole summary
    if (!index.isValid() || (role != Qt::DisplayRole && !tip))
        return {};
    return Text(index.row(), index.column());
}

QVariant HistoryModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    static const QStringList names{QStringLiteral("日時"), QStringLiteral("PC"), QStringLiteral("種類"),
                                   QStringLiteral("ID番号"), QStringLiteral("氏名"), QStringLiteral("回"),
                                   QStringLiteral("変更")};
    if (orientation == Qt::Horizontal && role == Qt::DisplayRole && section >= 0 && section < names.size())
        return names[section];
    return QAbstractTableModel::headerData(section, orientation, role);
}

} // namespace history
