#include "forms/ListBox.h"

#include <QAbstractListModel>
#include <QApplication>
#include <QCache>
#include <QHash>
#include <QMouseEvent>
#include <QPainter>
#include <QStaticText>
#include <QStyledItemDelegate>

namespace forms {

class LineModel : public QAbstractListModel {
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override
    {
        return parent.isValid() ? 0 : count();
    }

    QVariant data(const QModelIndex& index, int role) const override
    {
        if (role != Qt::DisplayRole || !contains(index.row()))
            return {};
        return line(index.row());
    }

    int count() const { return lineAt_ ? count_ : int(lines_.size()); }
    bool contains(int row) const { return row >= 0 && row < count(); }

    // A line from the function is made once, when first asked for.
    QString line(int row) const
    {
        if (!contains(row))
            return QString();
        if (!lineAt_)
            return lines_.at(row);
        auto made = made_.find(row);
        if (made == made_.end())
            made = made_.insert(row, lineAt_(row));
        return *made;
    }

    void add(const QString& line)
    {
        const int row = count();
        beginInsertRows({}, row, row);
        if (lineAt_) {
            made_.insert(row, line);
            ++count_;
        } else {
            lines_.append(line);
        }
        endInsertRows();
    }

    void setAll(QStringList lines)
    {
        beginResetModel();
        lines_ = std::move(lines);
        lineAt_ = nullptr;
        count_ = 0;
        made_.clear();
        endResetModel();
    }

    void setAll(int count, std::function<QString(int)> lineAt)
    {
        beginResetModel();
        lines_ = lineAt ? QStringList() : QStringList(qMax(count, 0));
        lineAt_ = std::move(lineAt);
        count_ = qMax(count, 0);
        made_.clear();
        endResetModel();
    }

    void replace(int row, const QString& line)
    {
        if (!contains(row))
            return;
        if (lineAt_)
            made_.insert(row, line);
        else
            lines_[row] = line;
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
    QStringList lines_;                    // without lineAt_: every line
    std::function<QString(int)> lineAt_;   // null: every line is in lines_
    // With lineAt_: how many lines, and those made so far (or replaced). Only
    // the lines asked for take memory: a list of 100,000 lines opens without
    // a place made first for each.
    int count_ = 0;
    mutable QHash<int, QString> made_;
};

namespace {

// A line's text as it is drawn, shaped once: a list painted again, or shown
// again after its rows were drawn ahead, draws the glyphs it already has.
// Qt's own item drawing shapes each line's text three times on every paint
// (to place it, to elide it and to draw it).
class ShapedLines {
public:
    const QStaticText& text(const QString& line, const QFont& font, int width, Qt::TextElideMode elide)
    {
        Shaped* kept = cache_.object(line);
        if (!kept || kept->width != width || kept->elide != elide || kept->font != font) {
            kept = new Shaped{font, width, elide, Shape(line, font, width, elide)};
            cache_.insert(line, kept);
        }
        return kept->text;
    }

private:
    struct Shaped {
        QFont font;
        int width;
        Qt::TextElideMode elide;
        QStaticText text;
    };

    static QStaticText Prepared(const QString& text, const QFont& font)
    {
        QStaticText shaped(text);
        shaped.setTextFormat(Qt::PlainText);
        shaped.setPerformanceHint(QStaticText::AggressiveCaching);
        shaped.prepare(QTransform(), font);
        return shaped;
    }

    // Elided as Qt's item views elide a line wider than its place.
    static QStaticText Shape(const QString& line, const QFont& font, int width, Qt::TextElideMode elide)
    {
        QStaticText whole = Prepared(line, font);
        if (elide == Qt::ElideNone || whole.size().width() <= width)
            return whole;
        return Prepared(QFontMetrics(font).elidedText(line, elide, width), font);
    }

    QCache<QString, Shaped> cache_{512};
};

// Gives every line the height the list asks for; the width stays Qt's own.
// A plain line (the only kind these lists hold) is drawn as Qt's style draws
// an item, its panel by the style, its text from the shaped lines; a line
// with the focus frame is left to Qt.
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

    void paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const override
    {
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        if (!IsPlain(item)) {
            QStyledItemDelegate::paint(painter, option, index);
            return;
        }
        const QWidget* widget = item.widget;
        const QStyle* style = widget ? widget->style() : QApplication::style();
        painter->save();
        painter->setClipRect(item.rect);
        style->drawPrimitive(QStyle::PE_PanelItemViewItem, &item, painter, widget);
        if (!item.text.isEmpty())
            DrawText(painter, item, style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1);
        painter->restore();
    }

private:
    static bool IsPlain(const QStyleOptionViewItem& item)
    {
        constexpr auto kOther = QStyleOptionViewItem::WrapText | QStyleOptionViewItem::HasCheckIndicator
                                | QStyleOptionViewItem::HasDecoration;
        return !(item.features & kOther) && !(item.state & (QStyle::State_HasFocus | QStyle::State_Editing))
               && item.displayAlignment == (Qt::AlignLeft | Qt::AlignVCenter)
               && item.direction == Qt::LeftToRight;
    }

    void DrawText(QPainter* painter, const QStyleOptionViewItem& item, int margin) const
    {
        QPalette::ColorGroup group = item.state & QStyle::State_Enabled ? QPalette::Normal : QPalette::Disabled;
        if (group == QPalette::Normal && !(item.state & QStyle::State_Active))
            group = QPalette::Inactive;
        const auto role = item.state & QStyle::State_Selected ? QPalette::HighlightedText : QPalette::Text;
        painter->setPen(item.palette.color(group, role));
        painter->setFont(item.font);
        const QRect place = item.rect.adjusted(margin, 0, -margin, 0);
        const QStaticText& text = shaped_.text(item.text, item.font, place.width(), item.textElideMode);
        const int height = qRound(text.size().height());   // a fallback font's line may be taller
        painter->drawStaticText(place.left(), place.top() + place.height() / 2 - height / 2, text);
    }

    const ListBox* list_;
    mutable ShapedLines shaped_;
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
