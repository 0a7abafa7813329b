#include "bench/BenchData.h"

#include "bench/Process.h"
#include "claims/ClaimFile.h"
#include "claims/ClaimRecord.h"
#include "files/ShiftJis.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QThread>
#include <QFile>
#include <QStringList>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>
#include <fcntl.h>
#include <unistd.h>

#ifndef KIBORU_SHARED_DATA_DIR
#error "KIBORU_SHARED_DATA_DIR names the folder of ken_all.zip"
#endif
#ifndef KIBORU_SOURCE_DIR
#error "KIBORU_SOURCE_DIR names the source folder (for the demo roster)"
#endif

namespace bench {
namespace {

[[noreturn]] void Fail(const QString& what)
{
    std::fprintf(stderr, "bench data: %s\n", qUtf8Printable(what));
    std::exit(2);
}

bool WriteFile(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

void WriteOrFail(const QString& path, const QByteArray& bytes)
{
    if (!WriteFile(path, bytes))
        Fail(QStringLiteral("cannot write ") + path);
}

QString Unzip()
{
    const QString zip = QStringLiteral(KIBORU_SHARED_DATA_DIR "/ken_all.zip");
    const ProcessRun run = RunProcess({"unzip", "-p", zip.toStdString(), "KEN_ALL.CSV"});
    if (run.exitCode != 0 || CountLines(run.out) != 124825)
        Fail(QStringLiteral("unzip -p %1 gave no KEN_ALL.CSV of 124,825 lines").arg(zip));
    const QString path = RunFolder() + QStringLiteral("/KEN_ALL.CSV");
    WriteOrFail(path, run.out);
    return path;
}

// A claim as the entry window saves it: header filled in, a few months
// marked in the first two rows.
QByteArray SampleClaim(int occurrence)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    claims::ResetClaim(header, table, 2010);
    const QStringList texts = {"2010", "6", "14", "月", "未", "捻挫", "足関節部", "部活中", "陸上競技",
                               "校舎外運動場・校庭"};
    for (int i = 0; i < claims::t_sick::FieldCount; ++i)
        header.field(i) = Sjis(texts[i]);
    for (int month : {1, 2, 5})
        claims::ToggleMark(table.row(1), month);
    claims::ToggleMark(table.row(2), 7);
    const QByteArray name = claims::ClaimFileName(ClaimStudentId(), occurrence);
    return claims::FormatClaim(name, Sjis(QStringLiteral("札幌　花子")), Sjis(QStringLiteral("女")), header,
                               table);
}

void TouchFile(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0 || ::close(fd) != 0)
        Fail(QStringLiteral("cannot create ") + QFile::decodeName(path));
}

// 100,000 files: the chosen student's three real claims and, for other
// students, eight empty claim files each.
void MakeSeikyu(const QString& folder)
{
    if (!QDir().mkpath(folder))
        Fail(QStringLiteral("cannot make ") + folder);
    for (int n = 1; n <= 3; ++n)
        WriteOrFail(folder + u'/' + claims::FromShiftJis(claims::ClaimFileName(ClaimStudentId(), n)) + ".CSV",
                    SampleClaim(n));
    const QByteArray prefix = QFile::encodeName(folder) + "/" + QString::fromUtf8("請").toUtf8();
    for (int i = 0; i < kSeikyuFileCount - 3; ++i) {
        const int student = 900000 + i / 8;
        TouchFile(prefix + QByteArray::number(student) + '-' + QByteArray::number(i % 8 + 1) + ".CSV");
    }
}

QString MakeWorkFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/work");
    if (!QDir().mkpath(folder))
        Fail(QStringLiteral("cannot make ") + folder);
    const QByteArray header =
        Sjis(QStringLiteral("ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n"));
    WriteOrFail(folder + QStringLiteral("/H27入学.CSV"), header + ReadAll(KenAllPath()));
    const QByteArray demo = ReadAll(QStringLiteral(KIBORU_SOURCE_DIR "/demo/data/H20入学.CSV"));
    if (CountLines(demo) < 300)
        Fail(QStringLiteral("the demo roster H20入学.CSV is missing"));
    WriteOrFail(folder + QStringLiteral("/H20入学.CSV"), demo);
    MakeSeikyu(folder + QStringLiteral("/seikyu"));
    // The files just made are on disk before anything is timed: a save's
    // flush then writes its own claim, not this backlog.
    ::sync();
    return folder;
}

// One claim of the history folder with marks in the first `marked` of its
// months.
QByteArray HistoryClaim(const QByteArray& id, int occurrence, int marked)
{
    claims::t_sick header;
    claims::TTreatmentTable table;
    claims::ResetClaim(header, table, 2024);
    header.year = "2024";
    header.injury = Sjis(QStringLiteral("捻挫"));
    for (int k = 1; k <= marked; ++k)
        claims::ToggleMark(table.row(1 + k / 12), k % 12 + 1);
    return claims::FormatClaim(claims::ClaimFileName(id, occurrence), Sjis(QStringLiteral("札幌　花子")),
                               Sjis(QStringLiteral("女")), header, table);
}

QString MakeHistoryFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/history10000");
    QDir().mkpath(folder + QStringLiteral("/seikyu"));
    for (int i = 0; i < kHistoryClaimCount; ++i) {
        const QByteArray id = QByteArray::number(40000 + i / 8);
        const QString stem = claims::FromShiftJis(claims::ClaimFileName(id, i % 8 + 1));
        WriteOrFail(folder + QStringLiteral("/seikyu/") + stem + QStringLiteral(".CSV"),
                    HistoryClaim(id, i % 8 + 1, kVersionsPerClaim));
        const QString kept = folder + QStringLiteral("/履歴/seikyu/") + stem;
        QDir().mkpath(kept);
        for (int v = 0; v < kVersionsPerClaim; ++v) {
            const QString time = QStringLiteral("202612%1-%2-%3").arg(v + 1, 2, 10, QChar(u'0'))
                                     .arg(i / 1000 * 100 + i % 60, 6, 10, QChar(u'0'))
                                     .arg(i % 1000, 3, 10, QChar(u'0'));
            WriteOrFail(kept + u'/' + time + QStringLiteral("-JIMU-PC1.CSV"), HistoryClaim(id, i % 8 + 1, v));
        }
    }
    std::fflush(stdout);
    ::sync();
    return folder;
}

QString MakeImportFolder()
{
    const QString folder = RunFolder() + QStringLiteral("/import");
    if (!QDir().mkpath(folder))
        Fail(QStringLiteral("cannot make ") + folder);
    const QString sample = QString::fromUtf8(ReadAll(QStringLiteral(KIBORU_SOURCE_DIR "/demo/data/名簿サンプル.csv")));
    QStringList lines = sample.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    if (lines.size() < 300)
        Fail(QStringLiteral("the demo sample 名簿サンプル.csv is missing"));
    const QString header = lines.takeFirst();
    QString text = header + QStringLiteral("\r\n");
    for (int i = 0; i < kImportStudents; ++i) {
        const QString& line = lines[i % lines.size()];
        text += QString::number(100001 + i) + line.mid(line.indexOf(u',')) + QStringLiteral("\r\n");
    }
    WriteOrFail(folder + QStringLiteral("/書出し.csv"), text.toUtf8());   // the text keeps the sample's mark
    ::sync();
    return folder;
}

} // namespace

QString HistoryWorkFolder()
{
    static const QString folder = MakeHistoryFolder();
    return folder;
}

QString ImportFolder()
{
    static const QString folder = MakeImportFolder();
    return folder;
}

QString ImportExportPath() { return ImportFolder() + QStringLiteral("/書出し.csv"); }

QByteArray Sjis(const QString& text)
{
    const std::optional<QByteArray> bytes = claims::ToShiftJis(text);
    if (!bytes)
        Fail(QStringLiteral("no Shift-JIS form for ") + text);
    return *bytes;
}

void WaitUntilSettled(const QString& folder)
{
    const QFileInfo seikyu(folder + QStringLiteral("/seikyu"));
    while (seikyu.lastModified().secsTo(QDateTime::currentDateTime()) < 11)
        QThread::msleep(200);
}

QString RunFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/kiboru-bench-XXXXXX"));
    if (!folder.isValid())
        Fail(QStringLiteral("cannot make a temporary folder"));
    return folder.path();
}

QString KenAllPath()
{
    static const QString path = Unzip();
    return path;
}

QString WorkFolder()
{
    static const QString folder = MakeWorkFolder();
    return folder;
}

QString BigRosterPath() { return WorkFolder() + QStringLiteral("/H27入学.CSV"); }
QString SmallRosterPath() { return WorkFolder() + QStringLiteral("/H20入学.CSV"); }

QByteArray ClaimStudentId() { return QByteArrayLiteral("01101"); }

qsizetype CountLines(const QByteArray& bytes) { return bytes.count('\n'); }

QByteArray ReadAll(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace bench
