#include "statswindow/StatsChart.h"

#include <QLocale>
#include <QPainter>

#include <algorithm>

namespace statswindow {
namespace {

const QColor kCurrentBar(40, 40, 40);
const QColor kPreviousFill(215, 215, 215);
const QColor kPreviousHatch(110, 110, 110);

struct Geometry {
    QRectF labels, bars;   // the label column, the room the longest bar may take
    qreal rowHeight = 0;
    qreal top = 0;         // the first row's top, below the legend
};

QString Number(qint64 value)
{
    return QLocale(QLocale::Japanese).toString(value);
}

qint64 Largest(const ChartRows& chart)
{
    qint64 largest = 1;
    for (const stats::StatsRow& row : chart.rows)
        largest = std::max({largest, row.value, chart.compare ? row.previous : 0});
    return largest;
}

Geometry Measure(const QRectF& area, qreal lineHeight, const ChartRows& chart)
{
    Geometry g;
    const qreal legend = chart.compare ? lineHeight * 1.5 : 0;
    const qreal labelWidth = std::min(area.width() * 0.3, lineHeight * 9);
    const qreal numberWidth = lineHeight * 5;
    g.top = area.top() + legend;
    g.labels = QRectF(area.left(), g.top, labelWidth, area.bottom() - g.top);
    g.bars = QRectF(area.left() + labelWidth + lineHeight / 2, g.top,
                    std::max<qreal>(0, area.width() - labelWidth - lineHeight / 2 - numberWidth), g.labels.height());
    const qreal rows = std::max<qsizetype>(1, chart.rows.size());
    g.rowHeight = std::min(g.bars.height() / rows, lineHeight * (chart.compare ? 3.0 : 2.0));
    return g;
}

// The hatch keeps the width it has on the screen on a printer's finer dots.
void SetPreviousBrush(QPainter& painter, bool hatch)
{
    painter.setPen(QPen(kPreviousHatch, 0));
    QBrush brush = hatch ? QBrush(kPreviousHatch, Qt::BDiagPattern) : QBrush(kPreviousFill);
    const qreal scale = std::max(1.0, painter.device()->logicalDpiX() / 96.0);
    brush.setTransform(QTransform::fromScale(scale, scale));
    painter.setBrush(brush);
}

// The room between a bar or a swatch and its text.
qreal Gap(QPainter& painter)
{
    return painter.fontMetrics().averageCharWidth() / 2.0;
}

void DrawLegend(QPainter& painter, const QRectF& area, qreal lineHeight, const ChartRows& chart)
{
    const qreal box = lineHeight * 0.8;
    QRectF swatch(area.left(), area.top() + (lineHeight - box) / 2, box * 1.5, box);
    painter.fillRect(swatch, kCurrentBar);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(swatch.right() + Gap(painter), area.top(), area.width() / 2, lineHeight), Qt::AlignVCenter,
                     chart.current);
    swatch.moveLeft(area.left() + area.width() / 2);
    SetPreviousBrush(painter, false);
    painter.drawRect(swatch);
    SetPreviousBrush(painter, true);
    painter.drawRect(swatch);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(swatch.right() + Gap(painter), area.top(), area.width() / 2, lineHeight),
                     Qt::AlignVCenter, chart.previous);
}

void DrawBar(QPainter& painter, const QRectF& bar, qint64 value, bool previous)
{
    if (previous) {
        SetPreviousBrush(painter, false);
        painter.drawRect(bar);
        SetPreviousBrush(painter, true);
        painter.drawRect(bar);
    } else {
        painter.fillRect(bar, kCurrentBar);
    }
    painter.setPen(Qt::black);
    const qreal gap = Gap(painter);
    painter.drawText(QRectF(bar.right() + gap, bar.top() - gap, gap * 40, bar.height() + 2 * gap), Qt::AlignVCenter,
                     Number(value));
}

// Many rows in little room: the rows' texts shrink to their height, down to half.
void FitFont(QPainter& painter, qreal rowHeight, qreal lineHeight)
{
    const qreal scale = std::max(0.5, rowHeight / lineHeight);
    if (scale >= 1)
        return;
    QFont font = painter.font();
    if (font.pixelSize() > 0)
        font.setPixelSize(std::max(1, int(font.pixelSize() * scale)));
    else
        font.setPointSizeF(font.pointSizeF() * scale);
    painter.setFont(font);
}

} // namespace

QRectF BarRect(const QRectF& area, qreal lineHeight, const ChartRows& chart, int row, bool previous)
{
    const Geometry g = Measure(area, lineHeight, chart);
    const stats::StatsRow& r = chart.rows[row];
    const qreal length = g.bars.width() * qreal(previous ? r.previous : r.value) / qreal(Largest(chart));
    const qreal barsPerRow = chart.compare ? 2 : 1;
    const qreal barHeight = g.rowHeight * 0.7 / barsPerRow;
    const qreal top = g.top + row * g.rowHeight + g.rowHeight * 0.15 + (previous ? barHeight : 0);
    return QRectF(g.bars.left(), top, length, barHeight);
}

void DrawChart(QPainter& painter, const QRectF& area, const ChartRows& chart)
{
    const qreal lineHeight = painter.fontMetrics().height();
    const Geometry g = Measure(area, lineHeight, chart);
    painter.save();
    if (chart.compare)
        DrawLegend(painter, area, lineHeight, chart);
    FitFont(painter, g.rowHeight, lineHeight);
    for (int i = 0; i < chart.rows.size(); ++i) {
        const QRectF labelRect(g.labels.left(), g.top + i * g.rowHeight, g.labels.width(), g.rowHeight);
        painter.setPen(Qt::black);
        painter.drawText(labelRect, Qt::AlignVCenter | Qt::AlignRight,
                         painter.fontMetrics().elidedText(chart.rows[i].label, Qt::ElideRight, int(g.labels.width())));
        DrawBar(painter, BarRect(area, lineHeight, chart, i, false), chart.rows[i].value, false);
        if (chart.compare)
            DrawBar(painter, BarRect(area, lineHeight, chart, i, true), chart.rows[i].previous, true);
    }
    painter.restore();
}

StatsChart::StatsChart(QWidget* parent) : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void StatsChart::SetRows(ChartRows chart)
{
    chart_ = std::move(chart);
    update();
}

void StatsChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    DrawChart(painter, QRectF(rect()).adjusted(6, 6, -6, -6), chart_);
}

} // namespace statswindow
