#pragma once
// The statistics on A4 paper: each page headed 負傷統計 with the category
// and measure, the school and the span, then the chart and the table. A
// table longer than its page goes on at the top of the next one under its
// column names again.

#include "statswindow/StatsChart.h"

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace statswindow {

struct StatsPage {
    QString title;              // 負傷統計　場合別（件数）
    QString school;             // the school's name, or empty
    QString span;               // 対象 令和7年度 ...
    ChartRows chart;
    QList<QStringList> lines;   // the table, column names first
};

// Each page on a page (or more) of its own.
void PrintStatsPages(QPrinter& printer, const QList<StatsPage>& pages);

} // namespace statswindow
