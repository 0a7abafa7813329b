// A roster of 200 MB and one with a line of 50 MB: read and searched in a
// fresh process each, whose peak memory must stay within a small multiple of
// the file's size (or of a small buffer, for the search).

#include "ReliabilitySupport.h"

#include "tests/claims/TestSupport.h"

#include <QElapsedTimer>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

using ktest::Sj;

namespace {

constexpr qint64 kMiB = 1 << 20;

struct ProbeReport {
    int code = -1;
    qint64 lines = -1;
    qint64 bytes = -1;
    qint64 growthKiB = -1;   // peak at the end less peak at the start
};

// Runs the probe on a roster; its report.
ProbeReport RunProbe(const QList<QByteArray>& args)
{
    rtest::ChildProcess probe(QList<QByteArray>{KIBORU_PROBE} + args);
    const QString out = QString::fromLatin1(probe.ReadAll());
    ProbeReport report;
    if (probe.Wait() != 0)
        return report;
    const QRegularExpressionMatch m = QRegularExpression(
        u"code=(\\d+) lines=(\\d+) bytes=(\\d+) start_kib=(\\d+) peak_kib=(\\d+)"_qs).match(out);
    if (m.hasMatch())
        report = {m.captured(1).toInt(), m.captured(2).toLongLong(), m.captured(3).toLongLong(),
                  m.captured(5).toLongLong() - m.captured(4).toLongLong()};
    return report;
}

// Writes a roster piece by piece, counting its lines.
class RosterWriter {
public:
    explicit RosterWriter(const QString& path) : file_(path)
    {
        ok_ = file_.open(QIODevice::WriteOnly);
        Line(Sj(u"ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所"_qs));
    }
    void Line(const QByteArray& line, bool lineEnd = true)
    {
        ok_ = ok_ && file_.write(line) == line.size() && (!lineEnd || file_.write("\r\n") == 2);
        ++lines_;
        size_ += line.size() + (lineEnd ? 2 : 0);
    }
    void Block(const QByteArray& lines, int count)
    {
        ok_ = ok_ && file_.write(lines) == lines.size();
        lines_ += count;
        size_ += lines.size();
    }
    bool Close() { file_.close(); return ok_; }
    qint64 Lines() const { return lines_; }
    qint64 Size() const { return size_; }

private:
    QFile file_;
    bool ok_ = false;
    qint64 lines_ = 0;
    qint64 size_ = 0;
};

QByteArray StudentLine(int id)
{
    return QByteArray::number(id)
           + Sj(u",3-2,2-6,1-1,安達　優葉,あだち　ゆうは,安達　康一,太子堂中学校,女,普通科,H4.7.14,徳島県板野郡松茂町森安2-1-2"_qs);
}

const QByteArray kNeedle = Sj(u"きぼる"_qs);

} // namespace

class LargeFiles : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;

    void CheckGrowth(const ProbeReport& report, qint64 limitBytes, const char* what)
    {
        qInfo("%s: peak memory grew by %lld MiB", what, report.growthKiB / 1024);
        if (rtest::UnderAddressSanitizer())
            return;   // shadow memory and quarantine: sizes say nothing here
        QVERIFY2(report.growthKiB * 1024 <= limitBytes,
                 qPrintable(u"%1: %2 MiB, at most %3 MiB expected"_qs.arg(what).arg(report.growthKiB / 1024).arg(limitBytes / kMiB)));
    }

private slots:
    void rosterOf200MBStaysWithinBounds()
    {
        const QString path = dir_.filePath(u"H20入学.CSV"_qs);
        RosterWriter roster(path);
        QByteArray block;
        int inBlock = 0;
        for (; block.size() < kMiB; ++inBlock)
            block += StudentLine(20'000 + inBlock) + "\r\n";
        QList<QByteArray> needles;
        for (int i = 0; roster.Size() < 200 * kMiB; ++i) {
            if (i == 0 || i == 100) {   // one across the end of the reader's first piece, one halfway
                needles.append(StudentLine(i) + kNeedle + QByteArray(70'000 * (i == 0), 'n'));
                roster.Line(needles.last());
            }
            roster.Block(block, inBlock);
        }
        needles.append(StudentLine(99'999) + kNeedle);
        roster.Line(needles.last(), false);
        QVERIFY(roster.Close());

        QElapsedTimer clock;
        clock.start();
        const ProbeReport read = RunProbe({"read-roster", QFile::encodeName(path)});
        qInfo("%lld MiB, %lld lines read in %lld ms", roster.Size() / kMiB, roster.Lines(), clock.restart());
        QCOMPARE(read.code, 0);
        QCOMPARE(read.lines, roster.Lines());
        CheckGrowth(read, 3 * roster.Size(), "reading the lines");

        const ProbeReport search = RunProbe({"search-roster", QFile::encodeName(path), kNeedle});
        qInfo("searched in %lld ms", clock.elapsed());
        QCOMPARE(search.code, 0);
        QCOMPARE(search.lines, 3);
        QCOMPARE(search.bytes, needles[0].size() + needles[1].size() + needles[2].size());
        CheckGrowth(search, 16 * kMiB, "searching piece by piece");
        QVERIFY(QFile::remove(path));
    }

    void lineOf50MBStaysWithinBounds()
    {
        const QString path = dir_.filePath(u"H21入学.CSV"_qs);
        RosterWriter roster(path);
        // "あ" (82 A0) over and over: a search for A0 82 hits every second
        // byte, never at the start of a character.
        const QByteArray longLine = StudentLine(1) + Sj(u"あ"_qs).repeated(25 * kMiB) + kNeedle;
        roster.Line(longLine);
        roster.Line(StudentLine(2));
        QVERIFY(roster.Close());

        QElapsedTimer clock;
        clock.start();
        const ProbeReport read = RunProbe({"read-roster", QFile::encodeName(path)});
        QCOMPARE(read.code, 0);
        QCOMPARE(read.lines, 3);
        const auto address = [](const QByteArray& line) { return line.size() - line.indexOf(Sj(u"徳島"_qs)); };
        QCOMPARE(read.bytes, Sj(u"住所"_qs).size() + address(longLine) + address(StudentLine(2)));   // cut at the 11th comma
        CheckGrowth(read, 3 * roster.Size(), "reading the lines");

        const ProbeReport found = RunProbe({"search-roster", QFile::encodeName(path), kNeedle});
        QCOMPARE(found.lines, 1);
        QCOMPARE(found.bytes, longLine.size());
        CheckGrowth(found, 3 * roster.Size(), "searching piece by piece");

        const ProbeReport none = RunProbe({"search-roster", QFile::encodeName(path), "\xA0\x82"});
        QCOMPARE(none.code, 0);
        QCOMPARE(none.lines, 0);
        qInfo("read and searched twice in %lld ms", clock.elapsed());
        QVERIFY(QFile::remove(path));
    }
};

QTEST_GUILESS_MAIN(LargeFiles)
#include "tst_large_files.moc"
