#include "statswindow/StatsPrint.h"

#include "output/PagePrint.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

using namespace output;

namespace statswindow {
namespace {

constexpr qreal kMarginMm = 15;
constexpr qreal kRowMm = 6;
constexpr qreal kChartRowMm = 7;
constexpr qreal kChartMostMm = 120;

qreal Heading(Page& sheet, const StatsPage& page)
{
    sheet.Text({0, 0, sheet.width, 9}, Qt::AlignLeft | Qt::AlignVCenter, page.title, GothicFont(16, true));
    sheet.Text({0, 10, sheet.width, 6}, Qt::AlignLeft | Qt::AlignVCenter, page.span, GothicFont(10.5));
    sheet.Text({0, 10, sheet.width, 6}, Qt::AlignRight | Qt::AlignVCenter, page.school, GothicFont(10.5));
    return 19;
}

qreal Chart(Page& sheet, qreal y, const ChartRows& chart)
{
    const qreal legend = chart.compare ? 8 : 0;
    const qreal rows = qreal(std::max<qsizetype>(1, chart.rows.size()));
    const qreal rowMm = chart.compare ? kChartRowMm * 1.6 : kChartRowMm;   // two bars a row
    const qreal height = std::min(kChartMostMm, legend + rowMm * rows);
    sheet.painter.setFont(GothicFont(9));
    DrawChart(sheet.painter, sheet.Rect(0, y, sheet.width, height), chart);
    return y + height + 6;
}

// The labels' column, then the figures' columns sharing the rest; a cross
// table of many columns in a smaller type.
Grid TableGrid(const Page& sheet, qsizetype columns)
{
    const qreal first = std::min<qreal>(45, sheet.width / 3);
    const qreal each = (sheet.width - first) / qreal(std::max<qsizetype>(1, columns - 1));
    const qreal points = columns > 8 ? 7 : 9.5;
    Grid grid{{first}, {Qt::AlignLeft}, kRowMm, GothicFont(points), GothicFont(points, true)};
    for (qsizetype c = 1; c < columns; ++c) {
        grid.widths.append(each);
        grid.align.append(Qt::AlignRight);
    }
    return grid;
}

} // namespace

void PrintStatsPages(QPrinter& printer, const QList<StatsPage>& pages)
{
    SetUpA4(printer, kMarginMm);
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    Page sheet(painter, printer);
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer.newPage();
        const qreal y = Chart(sheet, Heading(sheet, pages[i]), pages[i].chart);
        if (!pages[i].lines.isEmpty())
            DrawGridOverPages(printer, sheet, y, 0, TableGrid(sheet, pages[i].lines.first().size()), pages[i].lines);
    }
}

} // namespace statswindow
