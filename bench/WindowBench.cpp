// The real windows, offscreen, driven as the office uses them: each figure
// runs from the user's click to the next window painted on screen. Dialogs
// are answered the moment they are painted, so no waiting is counted.

#include "bench/Benchmarks.h"

#include "app/KiboruMain.h"
#include "bench/BenchData.h"
#include "bench/Process.h"
#include "bench/WhenShown.h"
#include "rosters/RosterFile.h"
#include "entry/EntryState.h"
#include "entry/SelectSeito.h"
#include "entry/SeiKyuImp.h"
#include "entry/Tkaisuu.h"
#include "forms/MessageSeam.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <functional>

namespace bench {
namespace {

// The roster of 124,825 students is H27入学.CSV: "札幌" stands in 823 of its
// lines, "\",\"" in every one.
const QString kBigRosterYear = QStringLiteral("平成27年度");
const QString kSapporo = QStringLiteral("札幌");
const QString kEveryLine = QStringLiteral("\",\"");
const QString kDigitZero = QStringLiteral("0");   // a one-digit key, as a user may type

// The entry window on its own, in the working folder of this run, with no
// message box shown (each is recorded instead).
struct EntryWindow {
    explicit EntryWindow(const QString& folder = WorkFolder())
    {
        QDir::setCurrent(folder);
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
    }

    void Type(const QString& entryYear, const QString& reading)
    {
        window.ui->ComboBox1->setText(entryYear);
        window.ui->Edit1->setText(reading);
    }

    // The reading typed anew, then the pause before 検索: 0.3 s, as the
    // outside measure takes too, in which the window searches ahead; or none,
    // the click right after typing, before any search ahead begins.
    void RetypeAndPause(const QString& reading, int pauseMs)
    {
        window.ui->Edit1->clear();
        window.ui->Edit1->setText(reading);
        if (pauseMs > 0)
            QTest::qWait(pauseMs);
    }

    void ClickSearch() { QTest::mouseClick(window.ui->BitBtn1, Qt::LeftButton); }

    // 検索 after the pause a user takes between two searches, in which the
    // window does its idle work (it readies the next student dialog). act
    // answers the student dialog from inside its loop once it is painted.
    struct Timed {
        std::int64_t startNs = 0;
        std::int64_t shownNs = 0;   // 0: no dialog came
    };
    Timed Search(const std::function<void(TForm3*)>& act)
    {
        QCoreApplication::processEvents();
        WhenShown shown("TForm3", [&act](QWidget* dialog) { act(static_cast<TForm3*>(dialog)); });
        const std::int64_t start = MonotonicNs();
        ClickSearch();
        return {start, shown.ShownNs()};
    }

    forms::MessageSeam boxes;
    entry::EntryState state;
    TForm2 window{state};
    bool exposed = false;
};

double Seconds(std::int64_t from, std::int64_t to) { return double(to - from) * 1e-9; }

int LinesWithZero()
{
    return int(claims::FindRosterLinesInFile(BigRosterPath(), "0").value().size());
}

// 給付入力 in the main window to the entry window painted.
void EntryWindowShown(benchmark::State& state)
{
    entry::EntryState entryState;
    TForm1 form1(entryState);
    form1.show();
    if (!QTest::qWaitForWindowExposed(&form1))
        state.SkipWithError("the main window did not come on screen");
    for (auto _ : state) {
        WhenShown shown("TForm2", [](QWidget* window) { window->close(); });
        const std::int64_t start = MonotonicNs();
        QTest::mouseClick(form1.ui->Button1, Qt::LeftButton);   // returns once the entry window closed
        if (!shown.Shown()) {
            state.SkipWithError("no entry window came");
            break;
        }
        state.SetIterationTime(Seconds(start, shown.ShownNs()));
    }
}

// 検索 to the selection dialog painted with every matching line in it, the
// click pauseMs after the reading was typed. With another reading, that one
// is typed 0.15 s before: its search ahead still runs at the click.
void SearchToDialog(benchmark::State& state, const QString& reading, int expectedLines, int pauseMs = 300,
                    const QString& another = {})
{
    EntryWindow entry;
    entry.Type(kBigRosterYear, reading);
    for (auto _ : state) {
        if (!another.isEmpty())
            entry.RetypeAndPause(another, 150);
        entry.RetypeAndPause(reading, pauseMs);
        int listed = -1;
        const EntryWindow::Timed search = entry.Search([&listed](TForm3* dialog) {
            listed = dialog->ui->ListBox2->count();
            QTest::mouseClick(dialog->ui->BitBtn2, Qt::LeftButton);   // 終　了
        });
        if (search.shownNs == 0 || listed != expectedLines || !entry.boxes.shown().isEmpty()) {
            state.SkipWithError("the selection dialog did not list every matching line");
            break;
        }
        state.SetIterationTime(Seconds(search.startNs, search.shownNs));
    }
    state.counters["lines"] = expectedLines;
}

// Counts the paints of a window and of the controls in it.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int count = 0;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget*>(watched)->window() == window_)
            ++count;
        return false;
    }

private:
    QWidget* window_;
};

// End in the student dialog of 124,825 lines to its last lines painted (the
// rows are made from their bytes when first shown): under one frame at 60 Hz
// keeps scrolling smooth.
double EndKeySeconds(TForm3* dialog)
{
    forms::ListBox* list = dialog->ui->ListBox2;
    // The user has clicked the first line (without a current line, End goes
    // to the first) and the list is laid out.
    list->setCurrentIndex(list->model()->index(0, 0));
    QCoreApplication::processEvents();
    PaintCounter paints(dialog);
    const std::int64_t start = MonotonicNs();
    QTest::keyClick(list, Qt::Key_End);
    QCoreApplication::processEvents();   // the list paints its last lines
    const std::int64_t end = MonotonicNs();
    const bool atEnd = paints.count > 0 && list->currentIndex().row() == list->model()->rowCount() - 1;
    return atEnd ? Seconds(start, end) : -1;
}

void ScrollToEnd(benchmark::State& state)
{
    EntryWindow entry;
    entry.Type(kBigRosterYear, kEveryLine);
    for (auto _ : state) {
        double seconds = -1;
        entry.Search([&seconds](TForm3* dialog) {
            seconds = EndKeySeconds(dialog);
            QTest::mouseClick(dialog->ui->BitBtn2, Qt::LeftButton);   // 終　了
        });
        if (seconds < 0) {
            state.SkipWithError("End did not bring the last line on screen");
            break;
        }
        state.SetIterationTime(seconds);
    }
}

// 選択決定 on the first student found to the entry window painted with the
// claim: the occurrence-file dialog comes in between (the student has three
// claim files among the 100,000) and is answered with the first file.
void StudentToClaim(benchmark::State& state)
{
    EntryWindow entry;
    entry.Type(kBigRosterYear, kSapporo);
    for (auto _ : state) {
        std::int64_t start = 0;
        WhenShown claimFiles("TForm4", [](QWidget* window) {
            auto* dialog = static_cast<TForm4*>(window);
            dialog->ui->ListBox1->setSelectedIndex(0);
            QTest::mouseClick(dialog->ui->BitBtn1, Qt::LeftButton);   // 決　定
        });
        WhenShown students("TForm3", [&start](QWidget* window) {
            auto* dialog = static_cast<TForm3*>(window);
            dialog->ui->ListBox2->setSelectedIndex(0);
            start = MonotonicNs();
            QTest::mouseClick(dialog->ui->BitBtn1, Qt::LeftButton);   // 選択決定
        });
        PaintCounter paints(&entry.window);
        entry.ClickSearch();              // returns once the student dialog closed
        paints.count = 0;
        QCoreApplication::processEvents();   // the entry window paints the claim
        const std::int64_t end = MonotonicNs();
        const bool shown = claimFiles.Shown() && paints.count > 0 && entry.window.ui->Edit2->text() == u"01101"
                           && entry.window.ui->ListBox1->line(0).startsWith(u"2010年,◎,４月,◎,５月");
        if (!shown || !entry.boxes.shown().isEmpty()) {
            state.SkipWithError("the chosen student's claim was not shown");
            break;
        }
        state.SetIterationTime(Seconds(start, end));
    }
}

// The peak memory of a process that does nothing but show the entry window
// and search the roster of 124,825 matching lines (a process of its own, so
// that nothing measured before counts).
void PeakMemory(benchmark::State& state)
{
    double mib = 0;
    double baseMib = 0;
    for (auto _ : state) {
        const ProcessRun run = RunProcess({"/proc/self/exe", "--peak-after-search", WorkFolder().toStdString()},
                                          {"QT_QPA_PLATFORM=offscreen"});
        const QList<QByteArray> figures = run.out.simplified().split(' ');
        if (run.exitCode != 0 || figures.size() != 3 || figures[0].toInt() != 124825) {
            state.SkipWithError("the search in a process of its own failed");
            break;
        }
        baseMib = figures[1].toDouble() / 1024;
        mib = figures[2].toDouble() / 1024;
    }
    state.counters["MiB"] = mib;
    state.counters["before_search_MiB"] = baseMib;
}

// The process's peak resident memory so far, in KiB.
long PeakKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    }
    return -1;
}

} // namespace

benchmark::internal::Benchmark* AddTimedRuns(const char* name, std::function<void(benchmark::State&)> fn,
                                             int repetitions)
{
    return benchmark::RegisterBenchmark(name, [fn](benchmark::State& s) { fn(s); })
        ->Unit(benchmark::kMillisecond)
        ->UseManualTime()
        ->Iterations(1)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true);
}

void RegisterWindowBenchmarks()
{
    AddTimedRuns("window_entry_shown", EntryWindowShown, 21);
    AddTimedRuns("window_search_to_dialog/823", [](benchmark::State& s) { SearchToDialog(s, kSapporo, 823); }, 21);
    AddTimedRuns("window_search_to_dialog/124825",
              [](benchmark::State& s) { SearchToDialog(s, kEveryLine, 124825); }, 11);
    AddTimedRuns("window_search_to_dialog/0", [](benchmark::State& s) {
        SearchToDialog(s, kDigitZero, LinesWithZero());
    }, 11);
    AddTimedRuns("window_search_to_dialog/823/no_pause",
                 [](benchmark::State& s) { SearchToDialog(s, kSapporo, 823, 0); }, 21);
    AddTimedRuns("window_search_to_dialog/0/no_pause",
                 [](benchmark::State& s) { SearchToDialog(s, kDigitZero, LinesWithZero(), 0); }, 11);
    AddTimedRuns("window_search_to_dialog/0/no_pause_after_another", [](benchmark::State& s) {
        SearchToDialog(s, kDigitZero, LinesWithZero(), 0, kEveryLine);
    }, 11);
    AddTimedRuns("window_scroll_to_end", ScrollToEnd, 11);
    AddTimedRuns("window_student_to_claim", StudentToClaim, 21);
    benchmark::RegisterBenchmark("peak_memory_after_search", PeakMemory)
        ->Unit(benchmark::kMillisecond)
        ->Iterations(1)
        ->Repetitions(3)
        ->ReportAggregatesOnly(true);
}

int PeakAfterSearch(const char* workFolder)
{
    EntryWindow entry(QString::fromLocal8Bit(workFolder));
    entry.Type(kBigRosterYear, kEveryLine);
    const long before = PeakKiB();
    int listed = -1;
    long after = -1;
    WhenShown shown("TForm3", [&](QWidget* window) {
        auto* dialog = static_cast<TForm3*>(window);
        listed = dialog->ui->ListBox2->count();
        after = PeakKiB();
        QTest::mouseClick(dialog->ui->BitBtn2, Qt::LeftButton);
    });
    entry.ClickSearch();
    std::printf("%d %ld %ld\n", listed, before, after);
    return entry.exposed && shown.Shown() && entry.boxes.shown().isEmpty() ? 0 : 1;
}

} // namespace bench
