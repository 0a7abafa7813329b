#include "status/PagePrint.h"

#include "forms/Fonts.h"

#include <QPainter>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <numeric>

namespace status {

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

qreal DrawGrid(Page& page, qreal x, qreal y, const Grid& grid, const QList<QStringList>& rows)
{
    const qreal total = std::accumulate(grid.widths.begin(), grid.widths.end(), qreal(0));
    QPainter& painter = page.painter;
    painter.setPen(QPen(Qt::black, page.Px(0.2)));
    for (int r = 0; r < rows.size(); ++r) {
        const qreal top = y + r * grid.rowHeight;
        painter.drawLine(QPointF(page.Px(x), page.Px(top)), QPointF(page.Px(x + total), page.Px(top)));
        qreal left = x;
        for (int c = 0; c < grid.widths.size(); ++c) {
            const QRectF cell(left + 1.5, top, grid.widths[c] - 3, grid.rowHeight);
            const bool header = r == 0 && grid.header;
            const Qt::Alignment align = header ? Qt::AlignHCenter : grid.align.value(c, Qt::AlignLeft);
            page.Text(cell, int(align | Qt::AlignVCenter), rows[r].value(c), header ? grid.headerFont : grid.font);
            left += grid.widths[c];
        }
    }
    const qreal bottom = y + rows.size() * grid.rowHeight;
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
    for (qsizetype next = 1;;) {
        const qsizetype fit = std::max<qsizetype>(1, qsizetype((height - footRoom - y) / grid.rowHeight) - 1);
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

} // namespace status
