#include "output/PagePrint.h"

#include "forms/Fonts.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <numeric>

namespace output {

void ShowPreview(QWidget* parent, const QString& title, const std::function<void(QPrinter&)>& print)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageSize(QPageSize(QPageSize::A4));
    QPrintPreviewDialog preview(&printer, parent);
    preview.setWindowTitle(title);
    QObject::connect(&preview, &QPrintPreviewDialog::paintRequested, &preview, [&](QPrinter* p) { print(*p); });
    preview.exec();
}

void SetUpA4(QPrinter& printer, qreal marginMm)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(marginMm, marginMm, marginMm, marginMm), QPageLayout::Millimeter);
}

Page::Page(QPainter& p, const QPrinter& printer)
    : painter(p), dotsPerMm(printer.resolution() / 25.4)
{
    width = printer.pageRect(QPrinter::Millimeter).width();
}

qreal Page::Text(const QRectF& mm, int flags, const QString& text, const QFont& font)
{
    painter.setFont(font);
    const QRectF box(Px(mm.x()), Px(mm.y()), Px(mm.width()), Px(mm.height()));
    QRectF used;
    painter.drawText(box, flags, text, &used);
    return used.height() / dotsPerMm;
}

qreal Page::TextHeight(qreal widthMm, int flags, const QString& text, const QFont& font)
{
    painter.setFont(font);
    return painter.boundingRect(QRectF(0, 0, Px(widthMm), Px(1000)), flags, text).height() / dotsPerMm;
}

QFont MinchoFont(qreal points, bool bold)
{
    QFont font(forms::InstalledFamily(QStringLiteral("ＭＳ Ｐ明朝")));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont GothicFont(qreal points, bool bold)
{
    QFont font(forms::InstalledFamily(QStringLiteral("ＭＳ Ｐゴシック")));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

namespace {

constexpr qreal kCellPadding = 1.5;   // mm left and right of a cell's text, and below a wrapped one

int CellFlags(const Grid& grid, int row, int column)
{
    const bool header = row == 0 && grid.header;
    return int((header ? Qt::AlignHCenter : grid.align.value(column, Qt::AlignLeft)) | Qt::AlignVCenter
               | Qt::TextWordWrap);
}

const QFont& CellFont(const Grid& grid, int row)
{
    return row == 0 && grid.header ? grid.headerFont : grid.font;
}

// Each row as tall as its longest cell needs, so that no text is cut: a
// long note wraps onto further lines of its row.
QList<qreal> RowHeights(Page& page, const Grid& grid, const QList<QStringList>& rows)
{
    QList<qreal> heights;
    for (int r = 0; r < rows.size(); ++r) {
        qreal height = grid.rowHeight;
        for (int c = 0; c < grid.widths.size(); ++c) {
            const qreal text = page.TextHeight(grid.widths[c] - 2 * kCellPadding, CellFlags(grid, r, c),
                                               rows[r].value(c), CellFont(grid, r));
            height = std::max(height, text + kCellPadding);
        }
        heights.append(height);
    }
    return heights;
}

} // namespace

qreal DrawGrid(Page& page, qreal x, qreal y, const Grid& grid, const QList<QStringList>& rows)
{
    const qreal total = std::accumulate(grid.widths.begin(), grid.widths.end(), qreal(0));
    const QList<qreal> heights = RowHeights(page, grid, rows);
    QPainter& painter = page.painter;
    qreal top = y;
    for (int r = 0; r < rows.size(); ++r) {
        painter.setPen(QPen(Qt::black, page.Px(0.2)));
        painter.drawLine(QPointF(page.Px(x), page.Px(top)), QPointF(page.Px(x + total), page.Px(top)));
        qreal left = x;
        for (int c = 0; c < grid.widths.size(); ++c) {
            const QRectF cell(left + kCellPadding, top, grid.widths[c] - 2 * kCellPadding, heights[r]);
            page.Text(cell, CellFlags(grid, r, c), rows[r].value(c), CellFont(grid, r));
            left += grid.widths[c];
        }
        top += heights[r];
    }
    painter.setPen(QPen(Qt::black, page.Px(0.2)));
    const qreal bottom = top;
    painter.drawLine(QPointF(page.Px(x), page.Px(bottom)), QPointF(page.Px(x + total), page.Px(bottom)));
    qreal left = x;
    for (int c = 0; c <= grid.widths.size(); ++c) {
        painter.drawLine(QPointF(page.Px(left), page.Px(y)), QPointF(page.Px(left), page.Px(bottom)));
        left += grid.widths.value(c);
    }
    return bottom;
}

qreal DrawGridOverPages(QPrinter& printer, Page& page, qreal y, qreal footRoom, const Grid& grid,
                        const QList<QStringList>& rows)
{
    const qreal height = printer.pageRect(QPrinter::Millimeter).height();
    const QList<qreal> heights = RowHeights(page, grid, rows);
    for (qsizetype next = 1;;) {
        // The rows that fit under the header row, one at least.
        qreal bottom = y + heights.value(0);
        qsizetype fit = 0;
        while (next + fit < rows.size() && (fit == 0 || bottom + heights[next + fit] <= height - footRoom))
            bottom += heights[next + fit++];
        QList<QStringList> part{rows.value(0)};
        part += rows.mid(next, fit);
        y = DrawGrid(page, 0, y, grid, part);
        next += fit;
        if (next >= rows.size())
            return y;
        printer.newPage();
        y = 0;
    }
}

} // namespace output
