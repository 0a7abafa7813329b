#include "status/StatusPrint.h"

#include "forms/Fonts.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPrinter>

#include <algorithm>
#include <numeric>

namespace status {
namespace {

struct PageLayout {
    QRectF area;
    qreal lineHeight = 0;
    int rowsPerPage = 1;
    QList<qreal> columnX;   // left edge of each column, then the right edge
};

QFont PrintFont(int points, bool bold = false)
{
    QFont font(forms::InstalledFamily(QStringLiteral("ＭＳ Ｐゴシック")), points);
    font.setBold(bold);
    return font;
}

// Columns as wide as their widest text, scaled to the page when too wide.
QList<qreal> ColumnEdges(const QFontMetrics& metrics, const QStringList& columns, const QList<QStringList>& rows,
                         const QRectF& area)
{
    QList<qreal> widths;
    for (int c = 0; c < columns.size(); ++c) {
        qreal widest = metrics.horizontalAdvance(columns[c]);
        for (const QStringList& row : rows)
            widest = std::max<qreal>(widest, metrics.horizontalAdvance(row.value(c)));
        widths.append(widest + metrics.averageCharWidth() * 2);
    }
    const qreal total = std::accumulate(widths.begin(), widths.end(), qreal(0));
    const qreal scale = total > area.width() ? area.width() / total : 1;
    QList<qreal> edges{area.left()};
    for (qreal w : widths)
        edges.append(edges.back() + w * scale);
    return edges;
}

void DrawRow(QPainter& painter, const PageLayout& layout, qreal y, const QStringList& texts)
{
    for (int c = 0; c + 1 < layout.columnX.size(); ++c) {
        const QRectF cell(layout.columnX[c] + 2, y, layout.columnX[c + 1] - layout.columnX[c] - 4, layout.lineHeight);
        painter.drawText(cell, Qt::AlignLeft | Qt::AlignVCenter, texts.value(c));
    }
    painter.drawLine(QPointF(layout.area.left(), y + layout.lineHeight), QPointF(layout.columnX.back(), y + layout.lineHeight));
}

} // namespace

void PrintTable(QPrinter& printer, const QString& title, const QStringList& columns, const QList<QStringList>& rows)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageMargins(QMarginsF(12, 12, 12, 12), QPageLayout::Millimeter);
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    const QFont body = PrintFont(9);
    painter.setFont(body);
    PageLayout layout;
    layout.area = QRectF(QPointF(0, 0), QSizeF(printer.pageRect(QPrinter::DevicePixel).size()));
    const QFontMetrics metrics(body, &printer);
    layout.lineHeight = metrics.height() * 1.4;
    const qreal top = layout.lineHeight * 3, foot = layout.lineHeight * 2;
    layout.rowsPerPage = std::max(1, int((layout.area.height() - top - foot) / layout.lineHeight) - 1);
    layout.columnX = ColumnEdges(metrics, columns, rows, layout.area);
    const int pages = std::max<int>(1, int((rows.size() + layout.rowsPerPage - 1) / layout.rowsPerPage));
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            printer.newPage();
        painter.setFont(PrintFont(13, true));
        painter.drawText(QRectF(layout.area.left(), 0, layout.area.width(), layout.lineHeight * 2),
                         Qt::AlignLeft | Qt::AlignVCenter, title);
        painter.setFont(PrintFont(9, true));
        DrawRow(painter, layout, top - layout.lineHeight, columns);
        painter.setFont(body);
        const qsizetype first = qsizetype(page) * layout.rowsPerPage;
        for (qsizetype r = first; r < std::min<qsizetype>(rows.size(), first + layout.rowsPerPage); ++r)
            DrawRow(painter, layout, top + (r - first) * layout.lineHeight, rows[r]);
        painter.drawText(QRectF(layout.area.left(), layout.area.bottom() - layout.lineHeight, layout.area.width(), layout.lineHeight),
                         Qt::AlignCenter, QStringLiteral("%1 / %2").arg(page + 1).arg(pages));
    }
}

} // namespace status
