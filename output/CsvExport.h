#pragma once
// The one way a window writes what it shows as a CSV file: Shift-JIS, or
// UTF-8 only when the user agrees for a text that Shift-JIS cannot hold;
// never in place of a file the program keeps.

#include <QList>
#include <QString>
#include <QStringList>

class QWidget;

namespace output {

// Writes lines (the column names first) to path, telling the user in a box
// why when it cannot. True when the file was written.
bool ExportCsv(QWidget* parent, const QString& path, const QList<QStringList>& lines);

} // namespace output
