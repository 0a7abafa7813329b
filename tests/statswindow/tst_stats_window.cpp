// The 「統計」 window: its chart measured at a few pixels, and a walk that
// opens it on a small folder and reads the table, the CSV, the clipboard
// and the printed pages.

#include "claims/ClaimFile.h"
#include "claimstatus/ListingCache.h"
#include "files/ShiftJis.h"
#include "forms/MessageSeam.h"
#include "statswindow/StatsChart.h"
#include "statswindow/StatsWindow.h"
#include "tests/claims/TestSupport.h"
#include "tests/status/PrintedPdf.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMain.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPrinter>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

using namespace claims;
using namespace statswindow;
using stats::StatsRow;

namespace {

bool IsWhite(QRgb pixel)
{
    return qGray(pixel) > 245;
}

// How far a bar reaches along the line y from x: up to the first gap of
// three white pixels (the gap before its number).
int BarLength(const QImage& image, int x, int y)
{
    int end = x;
    for (int at = x; at < image.width() && at < end + 3; ++at) {
        if (!IsWhite(image.pixel(at, y)))
            end = at + 1;
    }
    return end - x;
}

QList<StatsRow> Rows(const QList<qint64>& values, const QList<qint64>& previous)
{
    QList<StatsRow> rows;
    for (int i = 0; i < values.size(); ++i)
        rows.append({u"項目%1"_qs.arg(i), values[i], 0, previous.value(i)});
    return rows;
}

void WriteClaim(const QString& workDir, const QByteArray& id, const QString& date, const QString& situation,
                const QString& club)
{
    const QStringList ymd = date.split(u'/');
    t_sick header;
    TTreatmentTable table;
    ResetClaim(header, table, 2025);
    header.year = ymd[0].toLatin1(), header.month = ymd[1].toLatin1(), header.day = ymd[2].toLatin1();
    header.injury = ktest::Sj(u"捻挫"_qs);
    header.situation = ktest::Sj(situation);
    header.club = ktest::Sj(club);
    ToggleMark(table.row(1), 1);
    const QByteArray bytes = FormatClaim(ClaimFileName(id, 1), ktest::Sj(u"生徒"_qs), ktest::Sj(u"男"_qs), header, table);
    QVERIFY(ktest::WriteBytes(ClaimFilePath(workDir, id, 1), bytes));
}

// 令和7年度 (2025): two 1st-year students of R07入学, one student in no
// roster; 令和6年度: one claim.
void MakeFolder(const QString& workDir)
{
    QVERIFY(QDir(workDir).mkpath(u"seikyu"_qs));
    QVERIFY(ktest::WriteBytes(workDir + u"/R07入学.CSV"_qs,
                              ktest::Sj(u"ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n"
                                        u"07001, , ,1-1,山田　一郎,やまだ　いちろう,山田　父,東中学校,男,普通科,H22.5.1,東町1\r\n"
                                        u"07002, , ,1-2,川田　花子,かわだ　はなこ,川田　母,西中学校,女,普通科,H22.6.1,西町2\r\n"_qs)));
    WriteClaim(workDir, "07001", u"2025/5/12"_qs, u"部活中"_qs, u"野球"_qs);
    WriteClaim(workDir, "07002", u"2025/10/3"_qs, u"部活中"_qs, u"ダンス"_qs);
    WriteClaim(workDir, "99999", u"2026/2/20"_qs, u"授業中"_qs, {});
    WriteClaim(workDir, "98888", u"2024/6/1"_qs, u"授業中"_qs, {});
}

QStringList TableTexts(const QTableWidget* table)
{
    QStringList lines;
    for (int r = 0; r < table->rowCount(); ++r) {
        QStringList cells;
        for (int c = 0; c < table->columnCount(); ++c)
            cells.append(table->item(r, c)->text());
        lines.append(cells.join(u' '));
    }
    return lines;
}

// Leaves this PC's listing cache alone.
ClaimListing ReadWithoutCache(const QString& workDir, const std::function<bool(int, int)>& progress)
{
    return ReadAllClaims(workDir, progress);
}

} // namespace

class StatsWindowTest : public QObject {
    Q_OBJECT

private slots:
    void barsInProportionLargestFirst_data()
    {
        QTest::addColumn<QList<qint64>>("values");
        QTest::addColumn<QList<qint64>>("previous");
        QTest::addColumn<bool>("compare");
        QTest::newRow("three rows") << QList<qint64>{10, 5, 2} << QList<qint64>{} << false;
        QTest::newRow("the year before larger") << QList<qint64>{8, 4} << QList<qint64>{16, 2} << true;
    }

    // Each bar's length, measured on the image, stands to the largest
    // value's as its value does; the year before's bar is paler.
    void barsInProportionLargestFirst()
    {
        QFETCH(QList<qint64>, values);
        QFETCH(QList<qint64>, previous);
        QFETCH(bool, compare);
        StatsChart chart;
        chart.resize(700, 360);
        const ChartRows rows{Rows(values, previous), compare, u"令和7年度"_qs, u"令和6年度"_qs};
        chart.SetRows(rows);
        const QImage image = chart.grab().toImage();
        const QRectF area = QRectF(chart.rect()).adjusted(6, 6, -6, -6);
        const qreal line = chart.fontMetrics().height();
        const qint64 largest = std::max(*std::max_element(values.cbegin(), values.cend()),
                                        previous.isEmpty() ? 0 : *std::max_element(previous.cbegin(), previous.cend()));
        const QRectF full = BarRect(area, line, rows, 0, false);
        const qreal room = full.width() * qreal(largest) / qreal(values[0]);
        for (int i = 0; i < values.size(); ++i) {
            for (bool before : {false, true}) {
                if (before && !compare)
                    continue;
                const QRectF bar = BarRect(area, line, rows, i, before);
                const int y = int(bar.center().y()), x = int(bar.left());
                const qint64 value = before ? previous[i] : values[i];
                QVERIFY2(qAbs(BarLength(image, x, y) - room * qreal(value) / qreal(largest)) <= 3,
                         qPrintable(u"row %1%2: %3 px"_qs.arg(i).arg(before ? u" before"_qs : QString()).arg(BarLength(image, x, y))));
                const int gray = qGray(image.pixel(x + 2, y));
                QVERIFY(before ? gray > 90 || qGray(image.pixel(x + 3, y)) > 90 : gray < 60);
            }
        }
        if (!compare) {
            const int y0 = int(BarRect(area, line, rows, 0, false).center().y());
            const int y1 = int(BarRect(area, line, rows, 1, false).center().y());
            QVERIFY(BarLength(image, int(full.left()), y0) > BarLength(image, int(full.left()), y1));
        }
    }

    void walkThroughASmallFolder()
    {
        testsupport::TestFolder folder;
        MakeFolder(folder.path());
        StatsWindow window(folder.path(), nullptr, QDate(2026, 3, 1), ReadWithoutCache);
        window.show();
        QTRY_VERIFY(window.IsLoaded());
        QCOMPARE(window.ui->StatsFrom->currentText(), u"令和7年度"_qs);
        QCOMPARE(TableTexts(window.ui->StatsTable),
                 (QStringList{u"部活中 2 66.7"_qs, u"授業中 1 33.3"_qs, u"合計 3 100.0"_qs}));

        window.ui->StatsBy->setCurrentIndex(int(stats::Category::Grade));
        window.ui->StatsCompare->setChecked(true);
        QCOMPARE(TableTexts(window.ui->StatsTable),
                 (QStringList{u"1年 2 66.7 0"_qs, u"2年 0 0.0 0"_qs, u"3年 0 0.0 0"_qs, u"不明 1 33.3 1"_qs,
                              u"合計 3 100.0 1"_qs}));

        window.ui->StatsCross->setCurrentIndex(1 + int(stats::Category::Sex));
        QCOMPARE(TableTexts(window.ui->StatsTable),
                 (QStringList{u"1年 1 1 0 2"_qs, u"2年 0 0 0 0"_qs, u"3年 0 0 0 0"_qs, u"不明 0 0 1 1"_qs,
                              u"合計 1 1 1 3"_qs}));
        QCOMPARE(window.ui->StatsTable->horizontalHeaderItem(4)->text(), u"合計"_qs);

        window.ui->StatsCopy->click();
        QVERIFY(QGuiApplication::clipboard()->text().startsWith(u"学年\t男\t女\t不明\t合計\n1年\t1\t1\t0\t2\n"_qs));

        // An export, written on this PC: no box may come.
        forms::MessageSeam seam;
        QTemporaryDir local;
        const QString csv = local.filePath(u"統計.CSV"_qs);
        window.AskCsvPath = [&] { return csv; };
        window.ui->StatsCsv->click();
        QCOMPARE(seam.shownTexts(), QStringList());
        QVERIFY(FromShiftJis(ktest::ReadBytes(csv)).endsWith(u"合計,1,1,1,3\r\n"_qs));
    }

    // One page per category for 「すべて印刷」, counted under Wine too; the
    // heading, span and totals read back where pdftotext runs.
    void printedPagesReadBack()
    {
        const bool readable = !QStandardPaths::findExecutable(u"pdftotext"_qs).isEmpty();
        testsupport::TestFolder folder;
        MakeFolder(folder.path());
        StatsWindow window(folder.path(), nullptr, QDate(2026, 3, 1), ReadWithoutCache);
        QTRY_VERIFY(window.IsLoaded());
        const QString pdf = folder.path() + u"/統計.pdf"_qs;
        for (bool all : {false, true}) {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(pdf);
            window.PrintTo(printer, all);
            QCOMPARE(statustest::PdfPages(pdf), all ? stats::kCategoryCount : 1);
            if (!readable)
                continue;
            const QString text = statustest::PdfText(pdf);
            QVERIFY2(text.contains(u"負傷統計"_qs) && text.contains(u"対象 令和7年度"_qs), qPrintable(text));
            QVERIFY(text.contains(QRegularExpression(u"合計\\s+3\\s+100.0"_qs)));
            QCOMPARE(text.count(u'\f'), all ? stats::kCategoryCount : 1);
        }
        if (!readable)
            QSKIP("pages counted; the text is read with pdftotext in the Linux run");
    }
};

KIBORU_GUI_TEST_MAIN(StatsWindowTest)
#include "tst_stats_window.moc"
