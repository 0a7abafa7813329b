// Letters and receipts for 100 students: from 「お知らせ印刷」 or 「受領書印刷」
// clicked in the deadline list to the print preview painted with every
// page laid out.

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/Process.h"
#include "bench/WhenShown.h"
#include "claimstatus/SchoolInfo.h"
#include "claimstatus/StatusFile.h"
#include "claims/ClaimFile.h"
#include "files/ShiftJis.h"
#include "status/StatusWindow.h"

#include <QDir>
#include <QFile>
#include <QPrintPreviewWidget>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

constexpr int kStudents = 100;
constexpr int kPages = kStudents + kStudents / 4;   // every fourth student also gets a request
const QDate kLetterDate(2026, 12, 9);

// One claim a student, three months paid and not handed over (every fourth
// student a month waiting for papers too), every student in the roster
// R08入学.CSV, the school's file filled in.
QString MakeLettersFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/letters100");
    QDir().mkpath(folder + QStringLiteral("/seikyu"));
    QByteArray roster = Sjis(QStringLiteral("ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n"));
    claims::t_sick header;
    for (int i = 0; i < kStudents; ++i) {
        const QByteArray id = QByteArray::number(8001 + i).rightJustified(5, '0');
        claims::TTreatmentTable table;
        claims::ResetClaim(header, table, 2026);
        header.year = "2026", header.month = "5", header.day = "14", header.injury = Sjis(QStringLiteral("捻挫"));
        claims::StatusFile status;
        for (int k = 1; k <= 4; ++k) {
            claims::ToggleMark(table.row(1), k + 1);
            claims::MonthStatus& m = status.Edit(claims::CalendarMonth(2026, k + 1));
            m.state = k == 4 ? (i % 4 == 0 ? claims::ClaimState::AwaitingPapers : claims::ClaimState::Unclaimed)
                             : claims::ClaimState::Paid;
            m.amount = k == 4 ? std::optional<qint64>() : 1000 * k + i;
        }
        const QByteArray name = claims::ClaimFileName(id, 1);
        QFile file(folder + QStringLiteral("/seikyu/") + claims::FromShiftJis(name) + ".CSV");
        if (!file.open(QIODevice::WriteOnly))
            return QString();
        file.write(claims::FormatClaim(name, Sjis(QStringLiteral("札幌　花子")), Sjis(QStringLiteral("女")), header, table));
        claims::WriteStatusFile(folder, id, 1, status);
        roster += id + Sjis(QStringLiteral(",,,1-%1,札幌　花子,さっぽろ　はなこ,札幌　一郎,中学校,女,普通科,H22.4.19,"
                                           "北海道札幌市中央区北一条西%2丁目\r\n").arg(i % 8 + 1).arg(i + 1));
    }
    QFile rosterFile(folder + QStringLiteral("/R08入学.CSV"));
    if (!rosterFile.open(QIODevice::WriteOnly))
        return QString();
    rosterFile.write(roster);
    claims::WriteSchoolFile(folder, {QStringLiteral("県立みどり高等学校"), QStringLiteral("緑市学園町5"),
                                     QStringLiteral("0123-45-6789"), QStringLiteral("事務室　佐々木"), {}, {}, {}});
    return folder;
}

// letters: 「お知らせ印刷」, a letter a student and kind; otherwise
// 「受領書印刷」, a receipt a student.
void PreviewShown(benchmark::State& state, bool letters)
{
    static const QString folder = MakeLettersFolder();
    status::StatusWindow window(folder, kLetterDate);
    window.show();
    while (!window.IsLoaded())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    window.ui->StatusFilter->setCurrentIndex(window.ui->StatusFilter->findText(QStringLiteral("すべて")));   // every student's lines
    int pages = 0;
    for (auto _ : state) {
        WhenShown shown("QPrintPreviewDialog", [&](QWidget* preview) {
            pages = preview->findChild<QPrintPreviewWidget*>()->pageCount();
            preview->close();
        });
        const std::int64_t start = MonotonicNs();
        (letters ? window.ui->LettersButton : window.ui->ReceiptButton)->click();   // returns once the preview is closed
        if (!shown.Shown() || pages != (letters ? kPages : kStudents)) {
            state.SkipWithError("the preview did not show every page");
            break;
        }
        state.SetIterationTime(double(shown.ShownNs() - start) * 1e-9);
    }
    state.counters["pages"] = pages;
}

} // namespace

void RegisterLettersBenchmarks()
{
    AddTimedRuns("letters_preview/100", [](benchmark::State& state) { PreviewShown(state, true); }, 11);
    AddTimedRuns("receipts_preview/100", [](benchmark::State& state) { PreviewShown(state, false); }, 11);
}

} // namespace bench
