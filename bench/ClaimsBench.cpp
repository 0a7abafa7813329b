// The claim library on real data: roster search against grep as a whole
// process, cutting a student line, the treatment list lines, one claim read,
// written and listed in a folder of 100,000 files, and Shift-JIS decoding.

#include "bench/Benchmarks.h"

#include "bench/BenchData.h"
#include "bench/Process.h"
#include "claims/ClaimFile.h"
#include "claims/ClaimRecord.h"
#include "store/History.h"
#include "rosters/RosterFile.h"
#include "tests/support/RosterReading.h"
#include "files/ShiftJis.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <benchmark/benchmark.h>

namespace bench {
namespace {

struct SearchCase {
    const char* name;
    QString (*path)();
    const char* key;   // UTF-8
};

const SearchCase kSearchCases[] = {
    {"sapporo", KenAllPath, "札幌"},            // 823 lines, the first one the header
    {"every_line", KenAllPath, "\",\""},        // in every line
    {"no_line", KenAllPath, "きぼる"},          // in none
    {"roster_320", SmallRosterPath, "しみず"},  // a real-sized roster
};

// What the slow path finds: the count every other way must give too.
qsizetype ExpectedMatches(const SearchCase& c)
{
    const claims::RosterLines roster = claims::ReadRosterLines(c.path()).value();
    return claims::FindRosterLines(roster.lines, Sjis(QString::fromUtf8(c.key))).size();
}

void FastSearch(benchmark::State& state, const SearchCase& c)
{
    const QString path = c.path();
    const QByteArray key = Sjis(QString::fromUtf8(c.key));
    const qsizetype expected = ExpectedMatches(c);
    qsizetype found = 0;
    for (auto _ : state) {
        const claims::Result<claims::FoundLines> roster = claims::FindRosterLinesInFile(path, key);
        found = roster ? roster->size() : -1;
        benchmark::DoNotOptimize(found);
    }
    if (found != expected)
        state.SkipWithError("the quick search found another count of lines than the slow path");
    state.counters["lines"] = double(found);
}

void SlowSearch(benchmark::State& state, const SearchCase& c)
{
    const QString path = c.path();
    const QByteArray key = Sjis(QString::fromUtf8(c.key));
    qsizetype found = 0;
    for (auto _ : state) {
        const claims::RosterLines roster = claims::ReadRosterLines(path).value();
        const QList<QByteArray> lines = claims::FindRosterLines(roster.lines, key);
        found = lines.size();
        benchmark::DoNotOptimize(lines.constData());
    }
    state.counters["lines"] = double(found);
}

// `LC_ALL=C grep -F -c KEY FILE` as a whole process. It counts the header
// line too when the key stands in it.
void GrepProcess(benchmark::State& state, const SearchCase& c)
{
    const std::string path = c.path().toStdString();
    const QByteArray key = Sjis(QString::fromUtf8(c.key));
    const QByteArray header = ReadAll(c.path()).split('\n').value(0);
    const qsizetype expected = ExpectedMatches(c) + (header.contains(key) ? 1 : 0);
    QByteArray out;
    for (auto _ : state) {
        const ProcessRun run = RunProcess({"grep", "-F", "-c", key.toStdString(), path}, {"LC_ALL=C"});
        out = run.out;
        state.counters["cpu_ms"] = run.cpuSeconds * 1e3;
    }
    if (out.trimmed().toLongLong() != expected)
        state.SkipWithError("grep counted another number of lines");
    state.counters["lines"] = double(out.trimmed().toLongLong());
}

QByteArray RosterLine()
{
    return Sjis(QStringLiteral("20001,3-2,2-6,1-1,安達　優葉,あだち　ゆうは,安達　康一,太子堂中学校,女,普通科,"
                               "H4.7.14,徳島県板野郡松茂町森安2-1-2"));
}

void CutLine(benchmark::State& state)
{
    const QByteArray line = RosterLine();
    claims::TStudentRecord record;
    for (auto _ : state) {
        record = claims::SplitRosterLine(line);
        benchmark::DoNotOptimize(record.Address.constData());
    }
    if (record.Furigana != Sjis(QStringLiteral("あだち　ゆうは")) || record.Address.isEmpty())
        state.SkipWithError("the line was cut wrongly");
}

// The thirteen lines of the treatment list, as text for the screen.
void TreatmentListLines(benchmark::State& state)
{
    claims::TTreatmentTable table;
    claims::InitTreatmentTable(table, 2010);
    claims::ToggleMark(table.row(1), 3);
    QStringList lines;
    for (auto _ : state) {
        lines.clear();
        for (const claims::t_kyufu& row : table.rows)
            lines.append(claims::FromShiftJis(claims::ListLine(row, row.year())));
        benchmark::DoNotOptimize(lines.constData());
    }
    if (lines.size() != 13 || !lines[0].startsWith(QStringLiteral("2010年,－,４月,－,５月,◎,６月")))
        state.SkipWithError("unexpected list line");
}

QString ClaimPath(int occurrence)
{
    return claims::ClaimFilePath(WorkFolder(), ClaimStudentId(), occurrence);
}

void ReadClaim(benchmark::State& state)
{
    const QString path = ClaimPath(1);
    claims::t_sick header;
    claims::TTreatmentTable table;
    claims::Result<claims::FileStamp> result;
    for (auto _ : state) {
        claims::ResetClaim(header, table, 2010);
        result = claims::ReadClaimFile(path, header, table);
        benchmark::DoNotOptimize(table.rows.data());
    }
    if (!result.has_value() || header.club != Sjis(QStringLiteral("陸上競技")) || table.row(1).mark(1) != claims::TreatedMark())
        state.SkipWithError("the claim did not read back");
}

// The save as the entry window does it, with every flush to disk, into the
// folder of 100,000 files.
claims::Result<claims::FileStamp> SaveHanako(int occurrence, const claims::t_sick& header, const claims::TTreatmentTable& table)
{
    return claims::WriteClaimFile(WorkFolder(), ClaimStudentId(), occurrence, Sjis(QStringLiteral("札幌　花子")),
                                  Sjis(QStringLiteral("女")), header, table);
}

// The student's third claim, to be saved again; its bytes.
QByteArray ReadClaimThree(benchmark::State& state, claims::t_sick& header, claims::TTreatmentTable& table)
{
    claims::ResetClaim(header, table, 2010);
    if (!claims::ReadClaimFile(ClaimPath(3), header, table).has_value())
        state.SkipWithError("no claim to save");
    return ReadAll(ClaimPath(3));
}

// Replacing a claim by the same content.
void WriteClaim(benchmark::State& state)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    const QByteArray before = ReadClaimThree(state, header, table);
    claims::Result<claims::FileStamp> result;
    for (auto _ : state) {
        result = SaveHanako(3, header, table);
    }
    if (!result.has_value() || ReadAll(ClaimPath(3)) != before)
        state.SkipWithError("the save failed or changed the file");
}

// What the history adds to a save: the claim gets another content on each
// save, so that each keeps the bytes it replaces in the history (and, once
// there are 30 versions, removes the oldest). The claim is as before at the end.
void WriteClaimKeepingHistory(benchmark::State& state)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    const QByteArray before = ReadClaimThree(state, header, table);
    const QByteArray situations[2] = {header.situation, header.situation + Sjis(QStringLiteral("（再）"))};
    const auto save = [&](int i) {
        header.situation = situations[i % 2];
        return SaveHanako(3, header, table);
    };
    int saves = 0;
    bool ok = true;
    for (auto _ : state)
        ok = save(++saves).has_value() && ok;
    ok = save(0).has_value() && ok;
    const QString history = claims::HistoryFolderFor(ClaimPath(3));
    const qsizetype versions = QDir(history).entryList(QDir::Files).size();
    if (!ok || ReadAll(ClaimPath(3)) != before || (saves >= claims::kVersionsKept && versions != claims::kVersionsKept))
        state.SkipWithError("a save failed, or the history does not hold a version of each");
}

// A save where there was no file: occurrence 8, removed again (not timed)
// before each save.
void WriteClaimFirstTime(benchmark::State& state)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    claims::ResetClaim(header, table, 2010);
    const QString path = claims::ClaimFilePath(WorkFolder(), ClaimStudentId(), 8);
    bool ok = true;
    for (auto _ : state) {
        state.PauseTiming();
        QFile::remove(path);
        state.ResumeTiming();
        ok = SaveHanako(8, header, table).has_value() && ok;
    }
    if (!ok || !QFile::remove(path))
        state.SkipWithError("the save failed");
}

void ListClaims(benchmark::State& state)
{
    QStringList names;
    for (auto _ : state) {
        names = claims::ListClaimFiles(WorkFolder(), ClaimStudentId());
        benchmark::DoNotOptimize(names.constData());
    }
    if (names.size() != 3 || !names[0].endsWith(QStringLiteral("-1.CSV")))
        state.SkipWithError("the student's three claim files were not listed");
}

// Every file step of loading a claim: its path, whether it can be read, the
// list of the student's files, and the read of the chosen one.
void LoadClaimFileSteps(benchmark::State& state)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    bool ok = false;
    for (auto _ : state) {
        const QString path = ClaimPath(1);
        const QStringList names = claims::ListClaimFiles(WorkFolder(), ClaimStudentId());
        const int occurrence = claims::OccurrenceOfClaimFile(names.value(0), ClaimStudentId());
        claims::ResetClaim(header, table, 2010);
        ok = claims::FileCanBeRead(path) && claims::ReadClaimFile(ClaimPath(occurrence), header, table).has_value();
    }
    if (!ok || header.year != "2010")
        state.SkipWithError("the claim did not load");
}

void DecodeWholeFile(benchmark::State& state)
{
    const QByteArray bytes = ReadAll(KenAllPath());
    QString text;
    for (auto _ : state) {
        text = claims::FromShiftJis(bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    if (text.count(QChar(0xFFFD)) != 0 || !text.contains(QStringLiteral("札幌市中央区")))
        state.SkipWithError("the file did not decode cleanly");
}

// Qt's own converter over the same bytes, without the care for the
// Windows mapping of a few codes.
void DecodeWholeFileQt(benchmark::State& state)
{
    const QByteArray bytes = ReadAll(KenAllPath());
    QString text;
    for (auto _ : state) {
        QStringDecoder decoder("Shift_JIS");
        text = decoder(bytes);
        benchmark::DoNotOptimize(text.constData());
    }
    if (!text.contains(QStringLiteral("札幌市中央区")))
        state.SkipWithError("Qt's converter did not decode the file");
}

// Each of the 124,825 lines decoded on its own, as a list of lines is shown.
void DecodeEachLine(benchmark::State& state)
{
    const QList<QByteArray> lines = claims::ReadRosterLines(KenAllPath()).value().lines;
    QStringList texts;
    for (auto _ : state) {
        texts.clear();
        texts.reserve(lines.size());
        for (const QByteArray& line : lines)
            texts.append(claims::FromShiftJis(line));
        benchmark::DoNotOptimize(texts.constData());
    }
    if (texts.size() != 124825)
        state.SkipWithError("not every line was decoded");
}

template <class Fn>
benchmark::internal::Benchmark* Add(const std::string& name, Fn fn, benchmark::TimeUnit unit, int repetitions)
{
    return benchmark::RegisterBenchmark(name.c_str(), fn)
        ->Unit(unit)
        ->UseRealTime()
        ->MinTime(0.2)
        ->Repetitions(repetitions)
        ->ReportAggregatesOnly(true);
}

} // namespace

void RegisterClaimsBenchmarks()
{
    for (const SearchCase& c : kSearchCases) {
        const std::string suffix = std::string("/") + c.name;
        Add("roster_search" + suffix, [&c](benchmark::State& s) { FastSearch(s, c); }, benchmark::kMillisecond, 15);
        Add("roster_read_then_search" + suffix, [&c](benchmark::State& s) { SlowSearch(s, c); },
            benchmark::kMillisecond, 9);
        benchmark::RegisterBenchmark(("grep_process" + suffix).c_str(), [&c](benchmark::State& s) { GrepProcess(s, c); })
            ->Unit(benchmark::kMillisecond)
            ->UseRealTime()
            ->Iterations(1)
            ->Repetitions(31)
            ->ReportAggregatesOnly(true);
    }
    Add("cut_student_line", CutLine, benchmark::kMicrosecond, 9);
    Add("treatment_list_lines", TreatmentListLines, benchmark::kMicrosecond, 9);
    Add("claim_read", ReadClaim, benchmark::kMicrosecond, 9);
    Add("claim_save", WriteClaim, benchmark::kMillisecond, 9);
    Add("claim_save_history", WriteClaimKeepingHistory, benchmark::kMillisecond, 9);
    Add("claim_save_first", WriteClaimFirstTime, benchmark::kMillisecond, 9);
    Add("claim_files_listed", ListClaims, benchmark::kMicrosecond, 9);
    Add("claim_load_file_steps", LoadClaimFileSteps, benchmark::kMicrosecond, 9);
    Add("decode_12mb", DecodeWholeFile, benchmark::kMillisecond, 9);
    Add("decode_12mb_qt_converter", DecodeWholeFileQt, benchmark::kMillisecond, 9);
    Add("decode_124825_lines", DecodeEachLine, benchmark::kMillisecond, 5);
}

} // namespace bench
