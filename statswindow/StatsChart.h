#pragma once
// The statistics as horizontal bars, one row per line of the table in its
// order: the span's value as a black bar, the year before (when compared)
// as a paler hatched bar under it, so that the chart reads in black and
// white print. It fills whatever room it is given: the window's, or a
// printed page's.

#include "stats/Stats.h"

#include <QList>
#include <QRectF>
#include <QString>
#include <QWidget>

class QPainter;

namespace statswindow {

struct ChartRows {
    QList<stats::StatsRow> rows;
    bool compare = false;
    QString current, previous;   // the spans' names for the legend
};

// Draws the bars into area with the painter's font.
void DrawChart(QPainter& painter, const QRectF& area, const ChartRows& chart);

// Where DrawChart puts the bar of a row (the year before's when previous)
// in area, with a font of the given line height.
QRectF BarRect(const QRectF& area, qreal lineHeight, const ChartRows& chart, int row, bool previous);

class StatsChart : public QWidget {
    Q_OBJECT
public:
    explicit StatsChart(QWidget* parent = nullptr);

    void SetRows(ChartRows chart);
    const ChartRows& Rows() const { return chart_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ChartRows chart_;
};

} // namespace statswindow
