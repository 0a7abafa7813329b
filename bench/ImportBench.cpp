// The roster import of a large school's year (1,200 students) through the
// real window: 読込 to the preview and the problems painted, and 保存 of
// the roster over the one saved before (the replace question answered at
// once).

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/Process.h"
#include "forms/MessageSeam.h"
#include "import/ImportWindow.h"

#include <QFileInfo>
#include <QTest>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

const QString kEntryYear = QStringLiteral("令和9年度");

struct ImportRun {
    ImportRun() : window(ImportFolder())
    {
        window.show();
        exposed = QTest::qWaitForWindowExposed(&window);
        window.ui->ImportPath->setText(ImportExportPath());
        window.ui->ImportYear->setCurrentText(kEntryYear);
    }

    // 読込 to the preview and the problems painted.
    double Load()
    {
        QCoreApplication::processEvents();
        const std::int64_t start = MonotonicNs();
        QTest::mouseClick(window.ui->ImportLoad, Qt::LeftButton);
        window.ui->ImportPreview->viewport()->repaint();
        window.ui->ImportProblems->viewport()->repaint();
        window.ui->ImportColumns->viewport()->repaint();
        return double(MonotonicNs() - start) * 1e-9;
    }

    double Save()
    {
        QCoreApplication::processEvents();
        boxes.clear();
        if (QFileInfo::exists(window.RosterPath()))
            boxes.queueAnswer(forms::Answer::Yes);
        const std::int64_t start = MonotonicNs();
        QTest::mouseClick(window.ui->ImportSave, Qt::LeftButton);
        return double(MonotonicNs() - start) * 1e-9;
    }

    bool Saved() const { return !boxes.failed() && boxes.shownTexts().last().contains(u"1200人"); }

    forms::MessageSeam boxes;
    rosterimport::ImportWindow window;
    bool exposed = false;
};

void ImportReadAndPreview(benchmark::State& state)
{
    ImportRun run;
    if (!run.exposed)
        state.SkipWithError("the import window did not come on screen");
    for (auto _ : state)
        state.SetIterationTime(run.Load());
    if (!run.window.ui->ImportSummary->text().contains(u"1200人"))
        state.SkipWithError("the preview did not hold the 1,200 students");
}

void ImportSave(benchmark::State& state)
{
    ImportRun run;
    run.Load();
    run.Save();   // the roster that the timed saves replace
    for (auto _ : state) {
        state.SetIterationTime(run.Save());
        if (!run.Saved()) {
            state.SkipWithError("the roster was not saved");
            break;
        }
    }
}

} // namespace

void RegisterImportBenchmarks()
{
    for (auto [name, function] : {std::pair{"import_read_preview/1200", &ImportReadAndPreview},
                                  std::pair{"import_save/1200", &ImportSave}}) {
        AddTimedRuns(name, function, 15);
    }
}

} // namespace bench
