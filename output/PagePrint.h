#pragma once
// Drawing one printed page in millimetres: texts, paragraphs and ruled
// tables, for the letters to guardians and a claim's page.

#include <QFont>
#include <QList>
#include <QRectF>
#include <QString>
#include <QStringList>

#include <functional>

class QPainter;
class QPrinter;
class QWidget;

namespace output {

// Qt's print preview of what print draws; it also prints and saves PDF.
void ShowPreview(QWidget* parent, const QString& title, const std::function<void(QPrinter&)>& print);

// A4 with margins of the given millimetres, ready to paint on.
void SetUpA4(QPrinter& printer, qreal marginMm);

struct Page {
    QPainter& painter;
    qreal width = 0;        // mm, inside the margins
    qreal dotsPerMm = 1;

    Page(QPainter& painter, const QPrinter& printer);
    qreal Px(qreal mm) const { return mm * dotsPerMm; }
    QRectF Rect(qreal x, qreal y, qreal w, qreal h) const { return {Px(x), Px(y), Px(w), Px(h)}; }

    // Text in a box; returns the height it took, in mm (word-wrapped when
    // the flags say so).
    qreal Text(const QRectF& mm, int flags, const QString& text, const QFont& font);
    // The height the text takes in a box of that width, in mm.
    qreal TextHeight(qreal widthMm, int flags, const QString& text, const QFont& font);
};

// The printed fonts: 明朝 for letters, ゴシック for tables of figures.
QFont MinchoFont(qreal points, bool bold = false);
QFont GothicFont(qreal points, bool bold = false);

struct Grid {
    QList<qreal> widths;              // mm, one a column
    QList<Qt::Alignment> align;       // horizontal, one a column
    qreal rowHeight = 7;              // mm
    QFont font;
    QFont headerFont;
    bool header = true;               // false: every row is a plain row
};

// A ruled table at (x, y); the first row is the header (when the grid has
// one), drawn in headerFont and centred. A row is rowHeight tall, or taller
// where a cell's text wraps onto more lines. Returns the y below it, in mm.
qreal DrawGrid(Page& page, qreal x, qreal y, const Grid& grid, const QList<QStringList>& rows);

// The same table from the left margin at y, going on at the top of further
// pages, under its header row again, while its rows do not fit above the
// room kept at the foot (mm). Returns the y below its last row.
qreal DrawGridOverPages(QPrinter& printer, Page& page, qreal y, qreal footRoom, const Grid& grid,
                        const QList<QStringList>& rows);

} // namespace output
