#include "forms/ListBox.h"

#include <QAbstractListModel>
#include <QBitArray>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace forms {

class LineModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(lines_.size());
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !contains(index.row()))
            return {};
        return line(index.row());
    }

    bool contains(int row) const { return row >= 0 && row < lines_.size(); }

    // A line from the function is made once, when first asked for.
    QString line(int row) const
    {
        if (!contains(row))
            return QString();
        if (lineAt_ && !made_.testBit(row)) {
            lines_[row] = lineAt_(row);
            made_.setBit(row);
        }
        return lines_.at(row);
    }

    void add(const QString& line)
    {
        const int row = static_cast<int>(lines_.size());
        beginInsertRows({}, row, row);
        lines_.append(line);
        if (lineAt_) {
            made_.resize(row + 1);
            made_.setBit(row);
        }
        endInsertRows();
    }

    void setAll(QStringList lines)
    {
        beginResetModel();
        lines_ = std::move(lines);
        lineAt_ = nullptr;
        made_.clear();
        endResetModel();
    }

    void setAll(int count, std::function<QString(int)> lineAt)
    {
        beginResetModel();
        lines_ = QStringList(qMax(count, 0));
        lineAt_ = std::move(lineAt);
        made_ = QBitArray(lines_.size());
        endResetModel();
    }

    void replace(int row, const QString& line)
    {
        if (!contains(row))
            return;
        lines_[row] = line;
        if (lineAt_)
            made_.setBit(row);
        const QModelIndex changed = index(row);
        emit dataChanged(changed, changed, {Qt::DisplayRole});
    }

    // Tells the view that the size of every line changed.
    void relayout()
    {
        emit layoutAboutToBeChanged();
        emit layoutChanged();
    }

private:
    mutable QStringList lines_;
    std::function<QString(int)> lineAt_;   // null: every line is in lines_
    mutable QBitArray made_;                // with lineAt_: the lines made so far
};

namespace {

// Gives every line the height the list asks for; the width stays Qt's own.
class LineDelegate : public QStyledItemDelegate {
public:
    explicit LineDelegate(ListBox* list) : QStyledItemDelegate(list), list_(list) {}

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        if (list_->lineHeight() > 0)
            size.setHeight(list_->lineHeight());
        return size;
    }

private:
    const ListBox* list_;
};

} // namespace

ListBox::ListBox(QWidget* parent) : QListView(parent), model_(new LineModel(this))
{
    setModel(model_);
    setItemDelegate(new LineDelegate(this));
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
}

void ListBox::addLine(const QString& line)
{
    model_->add(line);
}

void ListBox::setLines(QStringList lines)
{
    model_->setAll(std::move(lines));
}

void ListBox::setLines(int count, std::function<QString(int)> lineAt)
{
    model_->setAll(count, std::move(lineAt));
}

void ListBox::replaceLine(int i, const QString& line)
{
    model_->replace(i, line);
}

void ListBox::clear()
{
    model_->setAll({});
}

int ListBox::count() const
{
    return model_->rowCount();
}

QString ListBox::line(int i) const
{
    return model_->line(i);
}

int ListBox::selectedIndex() const
{
    const QModelIndexList rows = selectionModel()->selectedRows();
    return rows.isEmpty() ? -1 : rows.first().row();
}

void ListBox::setSelectedIndex(int i)
{
    if (!model_->contains(i)) {
        selectionModel()->clear();
        return;
    }
    const QModelIndex index = model_->index(i);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::ClearAndSelect);
    scrollTo(index);
}

int ListBox::lineHeight() const
{
    return lineHeight_;
}

void ListBox::setLineHeight(int pixels)
{
    lineHeight_ = pixels;
    model_->relayout();
}

void ListBox::mousePressEvent(QMouseEvent* event)
{
    QListView::mousePressEvent(event);
    const QModelIndex hit = indexAt(event->position().toPoint());
    if (event->button() == Qt::LeftButton && hit.isValid() && hit.row() == selectedIndex())
        emit clicked();
}

void ListBox::mouseMoveEvent(QMouseEvent* event)
{
    const int before = selectedIndex();
    QListView::mouseMoveEvent(event);
    emitIfMoved(before);
}

void ListBox::keyPressEvent(QKeyEvent* event)
{
    const int before = selectedIndex();
    QListView::keyPressEvent(event);
    emitIfMoved(before);
}

// A click never takes the selection away (no Ctrl+click deselection, no
// clearing by a click below the last line).
QItemSelectionModel::SelectionFlags ListBox::selectionCommand(const QModelIndex& index,
                                                              const QEvent* event) const
{
    const auto command = QListView::selectionCommand(index, event);
    if (!index.isValid() || command.testFlag(QItemSelectionModel::Deselect)
        || command.testFlag(QItemSelectionModel::Toggle))
        return QItemSelectionModel::NoUpdate;
    return command;
}

void ListBox::emitIfMoved(int before)
{
    const int now = selectedIndex();
    if (now >= 0 && now != before)
        emit clicked();
}

} // namespace forms
