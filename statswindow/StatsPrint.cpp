#include "statswindow/StatsPrint.h"

#include "forms/Fonts.h"

#include <QPainter>
#include <QPrinter>

#include <algorithm>

namespace statswindow {
namespace {

constexpr qreal kMarginMm = 15;
constexpr qreal kRowMm = 6;
constexpr qreal kChartRowMm = 7;
constexpr qreal kChartMostMm = 120;

QFont Gothic(qreal points, bool bold = false)
{
    QFont font(forms::InstalledFamily(QStringLiteral("ＭＳ Ｐゴシック")));
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

// A page being drawn, in millimetres from the top left inside the margins.
struct Sheet {
    QPrinter& printer;
    QPainter& painter;
    qreal dotsPerMm = 1;
    qreal width = 0, height = 0;   // mm

    QRectF Rect(qreal x, qreal y, qreal w, qreal h) const
    {
        return {x * dotsPerMm, y * dotsPerMm, w * dotsPerMm, h * dotsPerMm};
    }
    void Text(const QRectF& mm, int flags, const QString& text, const QFont& font)
    {
        painter.setFont(font);
        painter.drawText(Rect(mm.x(), mm.y(), mm.width(), mm.height()), flags, text);
    }
};

qreal Heading(Sheet& sheet, const StatsPage& page)
{
    sheet.Text({0, 0, sheet.width, 9}, Qt::AlignLeft | Qt::AlignVCenter, page.title, Gothic(16, true));
    sheet.Text({0, 10, sheet.width, 6}, Qt::AlignLeft | Qt::AlignVCenter, page.span, Gothic(10.5));
    sheet.Text({0, 10, sheet.width, 6}, Qt::AlignRight | Qt::AlignVCenter, page.school, Gothic(10.5));
    return 19;
}

qreal Chart(Sheet& sheet, qreal y, const ChartRows& chart)
{
    const qreal legend = chart.compare ? 8 : 0;
    const qreal rows = qreal(std::max<qsizetype>(1, chart.rows.size()));
    const qreal rowMm = chart.compare ? kChartRowMm * 1.6 : kChartRowMm;   // two bars a row
    const qreal height = std::min(kChartMostMm, legend + rowMm * rows);
    sheet.painter.setFont(Gothic(9));
    DrawChart(sheet.painter, sheet.Rect(0, y, sheet.width, height), chart);
    return y + height + 6;
}

void TableLine(Sheet& sheet, qreal y, const QStringList& line, bool header)
{
    const qreal first = std::min<qreal>(45, sheet.width / 3);
    const qreal each = (sheet.width - first) / qreal(std::max<qsizetype>(1, line.size() - 1));
    const QFont font = Gothic(line.size() > 8 ? 7 : 9.5, header);
    sheet.painter.setPen(QPen(Qt::black, 0));
    for (int c = 0; c < line.size(); ++c) {
        const qreal x = c == 0 ? 0 : first + each * (c - 1);
        const qreal w = c == 0 ? first : each;
        sheet.painter.drawRect(sheet.Rect(x, y, w, kRowMm));
        const int align = header ? Qt::AlignHCenter : c == 0 ? Qt::AlignLeft : Qt::AlignRight;
        sheet.Text({x + 1, y, w - 2, kRowMm}, align | Qt::AlignVCenter, line[c], font);
    }
}

void Table(Sheet& sheet, qreal y, const QList<QStringList>& lines)
{
    for (int r = 0; r < lines.size(); ++r) {
        if (y + kRowMm > sheet.height) {
            sheet.printer.newPage();
            y = 0;
            TableLine(sheet, y, lines.first(), true);
            y += kRowMm;
        }
        TableLine(sheet, y, lines[r], r == 0);
        y += kRowMm;
    }
}

} // namespace

void PrintStatsPages(QPrinter& printer, const QList<StatsPage>& pages)
{
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setPageOrientation(QPageLayout::Portrait);
    printer.setPageMargins(QMarginsF(kMarginMm, kMarginMm, kMarginMm, kMarginMm), QPageLayout::Millimeter);
    QPainter painter(&printer);
    const QRectF page = printer.pageRect(QPrinter::Millimeter);
    Sheet sheet{printer, painter, printer.resolution() / 25.4, page.width(), page.height()};
    for (int i = 0; i < pages.size(); ++i) {
        if (i > 0)
            printer.newPage();
        qreal y = Heading(sheet, pages[i]);
        y = Chart(sheet, y, pages[i].chart);
        Table(sheet, y, pages[i].lines);
    }
}

} // namespace statswindow
