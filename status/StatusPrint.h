#pragma once

#include <QList>
#include <QString>
#include <QStringList>

class QPrinter;

namespace status {

// A table on as many pages as it needs: the title and the column names on
// every page, the page number ("1 / 3") at its foot.
void PrintTable(QPrinter& printer, const QString& title, const QStringList& columns, const QList<QStringList>& rows);

} // namespace status
