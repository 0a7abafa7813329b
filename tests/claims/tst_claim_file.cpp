// The claim file: its name, how it is read (every splitting rule), how it is
// written, and that a failed or refused save leaves the previous file as it
// was.

#include "claims/ClaimFile.h"

#include "TestSupport.h"
#include "tests/support/SlowMount.h"

#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#ifdef Q_OS_WIN
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#endif

using namespace claims;
using ktest::Sj;

namespace {

const QByteArray kFreshRow = "2010,"
    + Sj(u"－,４月,－,５月,－,６月,－,７月,－,８月,－,９月,－,10月,－,11月,－,12月,－,１月,－,２月,－,３月"_qs);

QList<QByteArray> HeaderFields(const t_sick& header)
{
    QList<QByteArray> fields;
    for (int i = 0; i < t_sick::FieldCount; ++i)
        fields.append(header.field(i));
    return fields;
}

// A row as its line in the file holds it: year, then mark before label.
QByteArray RowLine(const t_kyufu& row)
{
    QByteArray line = row.year();
    for (int k = 1; k <= t_kyufu::MonthCount; ++k)
        line += ',' + row.mark(k) + ',' + row.label(k);
    return line;
}

struct Claim {
    t_sick header;
    TTreatmentTable table;
};

Claim ResetClaimOf(int year)
{
    Claim claim;
    ResetClaim(claim.header, claim.table, year);
    return claim;
}

Claim SampleClaim()
{
    Claim claim = ResetClaimOf(2010);
    const QStringList texts = {"2010", "6", "14", "月", "未", "捻挫", "", "部活中", "陸上競技", "校舎外運動場・校庭"};
    for (int i = 0; i < t_sick::FieldCount; ++i)
        claim.header.field(i) = Sj(texts[i]);
    ToggleMark(claim.table.row(1), 1);
    ToggleMark(claim.table.row(1), 2);
    ToggleMark(claim.table.row(13), 12);
    claim.table.row(4).label(12) = "x,y";   // as read from a row of 26 fields
    return claim;
}

// Stands in the way of a save while it lives: "file" takes the right to write
// from the claim (the read-only attribute on Windows), "folder" from the
// seikyu folder, "disk" lets no file grow past 100 bytes, "held" keeps the
// claim open as a spreadsheet program does, for reading and against
// deleting. Only the causes the system knows are asked for.
class SaveObstacle {
public:
    SaveObstacle(const QString& cause, const QString& claim, const QString& folder)
        : cause_(cause), claim_(claim), folder_(folder)
    {
        if (cause == "file")
            ready_ = QFile::setPermissions(claim, QFile::ReadOwner | QFile::ReadUser);
#ifdef Q_OS_WIN
        if (cause == "held") {
            held_ = ::CreateFileW(reinterpret_cast<const wchar_t*>(claim.utf16()), GENERIC_READ, FILE_SHARE_READ,
                                  nullptr, OPEN_EXISTING, 0, nullptr);
            ready_ = held_ != INVALID_HANDLE_VALUE;
        }
#else
        // The superuser may write anyway: the save must go by the permission bits.
        if (cause == "folder")
            ready_ = QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadUser | QFile::ExeUser);
        if (cause == "disk" && ::getrlimit(RLIMIT_FSIZE, &limit_) == 0) {
            ::signal(SIGXFSZ, SIG_IGN);
            struct rlimit small = limit_;
            small.rlim_cur = 100;
            ready_ = ::setrlimit(RLIMIT_FSIZE, &small) == 0;
        }
#endif
    }
    ~SaveObstacle()
    {
        const auto writable = QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadUser
                              | QFile::WriteUser | QFile::ExeUser;
        if (cause_ == "file")
            QFile::setPermissions(claim_, writable & ~(QFile::ExeOwner | QFile::ExeUser));
        if (cause_ == "folder")
            QFile::setPermissions(folder_, writable);
#ifdef Q_OS_WIN
        if (held_ != INVALID_HANDLE_VALUE)
            ::CloseHandle(held_);
#else
        if (cause_ == "disk")
            ::setrlimit(RLIMIT_FSIZE, &limit_);
#endif
    }
    SaveObstacle(const SaveObstacle&) = delete;
    SaveObstacle& operator=(const SaveObstacle&) = delete;
    bool ready() const { return ready_; }

private:
    QString cause_, claim_, folder_;
    bool ready_ = false;
#ifdef Q_OS_WIN
    HANDLE held_ = INVALID_HANDLE_VALUE;
#else
    struct rlimit limit_ {};
#endif
};

} // namespace

class ClaimFile : public QObject {
    Q_OBJECT

    QTemporaryDir dir_;
    QString work_;     // a working folder with an empty seikyu folder
    QString seikyu_;
    int case_ = 0;

    Result<FileStamp> Save(const QByteArray& id, int occurrence, const Claim& claim = SampleClaim())
    {
        return WriteClaimFile(work_, id, occurrence, Sj(u"山田太郎"_qs), Sj(u"男"_qs), claim.header, claim.table);
    }

private slots:
    void init()
    {
        QVERIFY(dir_.isValid());
        work_ = dir_.filePath(QString::number(++case_));
        seikyu_ = work_ + "/seikyu";
        QVERIFY(QDir().mkpath(seikyu_));
    }

    void claimIsReadLineByLineAndFieldByField_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QList<QByteArray>>("header");
        QTest::addColumn<int>("row");
        QTest::addColumn<QByteArray>("rowLine");      // of that row as the file would hold it
        QTest::addColumn<int>("emptyFrom");           // rows from here on hold 25 empty texts
        const QByteArray line1 = Sj(u"請1024-2,山田,男"_qs);
        const QList<QByteArray> full = {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"};
        const QByteArray emptyRow = QByteArray(24, ',');
        auto rows = [&](int n, const char* end) {
            QByteArray text;
            for (int r = 0; r < n; ++r)
                text += kFreshRow + end;
            return text;
        };
        QTest::newRow("complete") << line1 + "\r\na,b,c,d,e,f,g,h,i,j\r\n" + rows(13, "\r\n") << full << 13 << kFreshRow << 14;
        QTest::newRow("LF line ends") << line1 + "\na,b,c,d,e,f,g,h,i,j\n" + rows(13, "\n") << full << 13 << kFreshRow << 14;
        QTest::newRow("CR line ends") << line1 + "\ra,b,c,d,e,f,g,h,i,j\r" + rows(13, "\r") << full << 1 << kFreshRow << 14;
        QTest::newRow("header of nine fields") << line1 + "\r\na,b,c,d,e,f,g,h,i\r\n" + rows(13, "\r\n")
            << QList<QByteArray>{"a", "b", "c", "d", "e", "f", "g", "h", "i", " "} << 1 << kFreshRow << 14;
        QTest::newRow("header of eleven fields") << line1 + "\r\na,b,c,d,e,f,g,h,i,j,k\r\n"
            << QList<QByteArray>{"a", "b", "c", "d", "e", "f", "g", "h", "i", "j,k"} << 1 << emptyRow << 1;
        QTest::newRow("header of three fields") << line1 + "\r\na,b,c\r\n" + rows(1, "\r\n")
            << QList<QByteArray>{"a", "b", "", "", "", "", "", "", "", " "} << 1 << kFreshRow << 2;
        QTest::newRow("row without comma") << line1 + "\r\na,b,c,d,e,f,g,h,i,j\r\n2010\r\n" << full << 1 << emptyRow << 1;
        QTest::newRow("row of 26 fields") << line1 + "\r\na,b,c,d,e,f,g,h,i,j\r\n" + kFreshRow + ",x\r\n" << full << 1
                                          << kFreshRow + ",x" << 2;
        QTest::newRow("ends after line 10") << line1 + "\r\na,b,c,d,e,f,g,h,i,j\r\n" + rows(8, "\r\n") << full << 8
                                            << kFreshRow << 9;
        QTest::newRow("byte 1A ends the file") << line1 + "\r\na,b,c,d,e,f,g,h,i,j\r\n" + kFreshRow + "\r\n\x1A" + rows(12, "\r\n")
                                               << full << 1 << kFreshRow << 2;
        QTest::newRow("empty file") << QByteArray() << QList<QByteArray>(9, QByteArray()) + QList<QByteArray>{" "} << 1
                                    << emptyRow << 1;
    }

    void claimIsReadLineByLineAndFieldByField()
    {
        QFETCH(QByteArray, text);
        QFETCH(QList<QByteArray>, header);
        QFETCH(int, row);
        QFETCH(QByteArray, rowLine);
        QFETCH(int, emptyFrom);
        Claim claim = ResetClaimOf(1999);
        ParseClaim(text, claim.header, claim.table);
        QCOMPARE(HeaderFields(claim.header), header);
        QCOMPARE(RowLine(claim.table.row(row)), rowLine);
        for (int r = emptyFrom; r <= TTreatmentTable::RowCount; ++r)
            QCOMPARE(claim.table.row(r), t_kyufu());
    }

    void savedClaimReadsBackUnchanged()
    {
        const Claim saved = SampleClaim();
        const Result<FileStamp> result = Save("1024", 2, saved);
        QVERIFY(result.has_value());
        QCOMPARE(ClaimFilePath(work_, "1024", 2), seikyu_ + u"/請1024-2.CSV"_qs);
        const QList<QByteArray> lines = ktest::ReadBytes(seikyu_ + u"/請1024-2.CSV"_qs).split('\n');
        QCOMPARE(lines.size(), 16);                    // fifteen lines, each ended by CR LF
        QCOMPARE(lines[0], Sj(u"請1024-2,山田太郎,男\r"_qs));
        QCOMPARE(lines[1], Sj(u"2010,6,14,月,未,捻挫,,部活中,陸上競技,校舎外運動場・校庭\r"_qs));
        QCOMPARE(lines[2], Sj(u"2010,◎,４月,◎,５月,－,６月,－,７月,－,８月,－,９月,－,10月,－,11月,－,12月,－,１月,－,２月,－,３月\r"_qs));
        QCOMPARE(lines[3].count(','), 24);
        QCOMPARE(lines[15], QByteArray());
        Claim read = ResetClaimOf(0);
        QVERIFY(ReadClaimFile(ClaimFilePath(work_, "1024", 2), read.header, read.table).has_value());
        QCOMPARE(read.header, saved.header);           // the empty field comes back empty, not " "
        QCOMPARE(read.table, saved.table);
    }

    void studentIdMustSuitAFileName_data()
    {
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<bool>("usable");
        QTest::newRow("digits") << QByteArray("1024") << true;
        QTest::newRow("with dash") << QByteArray("12-3") << true;
        QTest::newRow("5C as second byte") << Sj(u"表ｱ"_qs) << true;
        QTest::newRow("empty") << QByteArray() << false;
        QTest::newRow("blanks") << QByteArray("  ") << false;
        QTest::newRow("dot") << QByteArray(".") << false;
        QTest::newRow("dot dot") << QByteArray("..") << false;
        for (const char* bad : {"a/b", "a\\b", "a:b", "a*", "a?", "a\"", "<a", "a>", "a|b", "a\tb", "a\x7F"})
            QTest::newRow(bad) << QByteArray(bad) << false;
        QTest::newRow("broken bytes") << QByteArray("12\x81") << false;
        QTest::newRow("second form of one character") << QByteArray("\xED\x40") << false;
    }

    void studentIdMustSuitAFileName()
    {
        QFETCH(QByteArray, id);
        QFETCH(bool, usable);
        QCOMPARE(IsUsableStudentId(id), usable);
        QCOMPARE(ClaimFilePath(work_, id, 1).isEmpty(), !usable);
        const Result<FileStamp> saved = Save(id, 1);
        QCOMPARE(saved ? -1 : saved.error().field, usable ? -1 : kIdField);
        QCOMPARE(ktest::Entries(seikyu_).size(), usable ? 1 : 0);
    }

    void studentsClaimFilesAreListedByExactName()
    {
        for (const QString& name : {u"請1024-1.CSV"_qs, u"請1024-3.csv"_qs, u"請1024-9.CSV"_qs, u"請1024-10.CSV"_qs,
                                    u"請1024-2.TXT"_qs, u"請10245-1.CSV"_qs, u"請1024-x.CSV"_qs, u"請12-3-4.CSV"_qs})
            QVERIFY(ktest::WriteBytes(seikyu_ + '/' + name, "x"));
        QVERIFY(QDir(seikyu_).mkdir(u"請1024-5.Csv"_qs));
        QCOMPARE(ListClaimFiles(work_, "1024"), (QStringList{u"請1024-1.CSV"_qs, u"請1024-3.csv"_qs, u"請1024-5.Csv"_qs}));
        QCOMPARE(ListClaimFiles(work_, "12-3"), QStringList{u"請12-3-4.CSV"_qs});
        QCOMPARE(ListClaimFiles(work_, "12"), QStringList());
        QCOMPARE(ClaimFilePath(work_, "1024", 3), seikyu_ + u"/請1024-3.csv"_qs);
        QCOMPARE(ClaimFilePath(work_, "1024", 2), seikyu_ + u"/請1024-2.CSV"_qs);
        QVERIFY(FileCanBeRead(ClaimFilePath(work_, "1024", 3)));
        QVERIFY(!FileCanBeRead(ClaimFilePath(work_, "1024", 2)));
        QVERIFY(!FileCanBeRead(ClaimFilePath(work_, "1024", 5)));   // a folder
        QVERIFY(!FileCanBeRead(QString()));
    }

    // Over a file server (its stand-in, slowfs), a student's claims come from
    // one listing: no lookup of each spelling of each occurrence, each a
    // round trip, of which a server that ignores case answers every one.
    void studentsClaimFilesComeFromOneListing()
    {
        for (const QString& name : {u"請1024-1.CSV"_qs, u"請1024-3.csv"_qs, u"請77-1.CSV"_qs})
            QVERIFY(ktest::WriteBytes(seikyu_ + '/' + name, "x"));
        testsupport::SlowMount share(work_, 0);
        if (!share.Mounted())
            QSKIP(qPrintable(share.WhyNot()));
        const testsupport::SlowCounts before = share.Counts();
        QCOMPARE(ListClaimFiles(share.Path(), "1024"), (QStringList{u"請1024-1.CSV"_qs, u"請1024-3.csv"_qs}));
        const testsupport::SlowCounts used = share.Counts().Since(before);
        QCOMPARE(used.readdir, 1);
        QVERIFY2(used.getattr <= 2, qPrintable(QString::number(used.getattr)));
    }

    void occurrenceIsTakenAfterIdAndDash_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("id");
        QTest::addColumn<int>("occurrence");
        QTest::newRow("capitals") << u"請1024-3.CSV"_qs << QByteArray("1024") << 3;
        QTest::newRow("small letters") << u"請1024-8.csv"_qs << QByteArray("1024") << 8;
        QTest::newRow("ID with dash") << u"請12-3-4.CSV"_qs << QByteArray("12-3") << 4;
        QTest::newRow("other student") << u"請12-3-4.CSV"_qs << QByteArray("12") << 0;
        QTest::newRow("nine") << u"請1024-9.CSV"_qs << QByteArray("1024") << 0;
        QTest::newRow("two digits") << u"請1024-12.CSV"_qs << QByteArray("1024") << 0;
        QTest::newRow("other ending") << u"請1024-3.CSVX"_qs << QByteArray("1024") << 0;
    }

    void occurrenceIsTakenAfterIdAndDash()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, id);
        QFETCH(int, occurrence);
        QCOMPARE(OccurrenceOfClaimFile(name, id), occurrence);
    }

    void textThatWouldCorruptTheFileIsRefused_data()
    {
        QTest::addColumn<int>("field");
        QTest::addColumn<QByteArray>("text");
        QTest::newRow("comma in name") << 0 << QByteArray("a,b");
        QTest::newRow("CR in sex") << 1 << QByteArray("a\r");
        QTest::newRow("LF in year") << 2 << QByteArray("\n2010");
        QTest::newRow("1A in injury") << 7 << QByteArray("a\x1A");
        QTest::newRow("comma in place") << 11 << QByteArray(",");
    }

    void textThatWouldCorruptTheFileIsRefused()
    {
        QFETCH(int, field);
        QFETCH(QByteArray, text);
        Claim claim = SampleClaim();
        QByteArray name = "name";
        QByteArray sex = "sex";
        (field == 0 ? name : field == 1 ? sex : claim.header.field(field - 2)) = text;
        const Result<FileStamp> result = WriteClaimFile(work_, "1024", 1, name, sex, claim.header, claim.table);
        QCOMPARE(result.error().refusal, Refusal::CannotEncode);
        QCOMPARE(result.error().field, field);
        QVERIFY(ktest::Entries(seikyu_).isEmpty());
    }

    void saveWithoutSeikyuFolderCreatesNothing()
    {
        QVERIFY(QDir(seikyu_).removeRecursively());
        const Result<FileStamp> result = Save("1024", 1);
        QCOMPARE(result.error().code, int(PathNotFound));
        QCOMPARE(result.error().message, u"不正なﾌｧｲﾙ名です"_qs);
        QVERIFY(ktest::Entries(work_).isEmpty());
    }

    void failedSaveKeepsThePreviousFile_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<int>("code");
        QTest::newRow("read-only file") << "file" << int(AccessDenied);
#ifdef Q_OS_WIN
        // A folder's read-only attribute does not stop writing in it.
        QTest::newRow("file held open by another program") << "held" << int(AccessDenied);
#else
        QTest::newRow("read-only folder") << "folder" << int(AccessDenied);
        QTest::newRow("disk full") << "disk" << int(DiskFull);
#endif
    }

    void failedSaveKeepsThePreviousFile()
    {
        QFETCH(QString, cause);
        QFETCH(int, code);
        const QString path = seikyu_ + u"/請1024-1.csv"_qs;
        const QByteArray old = "old claim\r\n";
        QVERIFY(ktest::WriteBytes(path, old));
        Result<FileStamp> result;
        {
            SaveObstacle obstacle(cause, path, seikyu_);
            QVERIFY(obstacle.ready());
            result = Save("1024", 1);
        }
        QCOMPARE(result.error().code, code);
        QCOMPARE(result.error().message, IoErrorText(code));
        QCOMPARE(ClaimFilePath(work_, "1024", 1), path);
        QCOMPARE(ktest::ReadBytes(path), old);
        QCOMPARE(ktest::Entries(seikyu_), QStringList{u"請1024-1.csv"_qs});   // no temporary file left
    }

    void saveReplacesTheFileWhateverTheCaseOfCsv()
    {
        const QString path = seikyu_ + u"/請1024-1.csv"_qs;
        QVERIFY(ktest::WriteBytes(path, "old"));
#ifndef Q_OS_WIN   // Windows has no group bits; the new file takes the folder's rights
        const auto bits = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadUser
                          | QFileDevice::WriteUser | QFileDevice::ReadGroup;
        QVERIFY(QFile::setPermissions(path, bits));
#endif
        QVERIFY(Save("1024", 1).has_value());
        QCOMPARE(ktest::Entries(seikyu_), QStringList{u"請1024-1.csv"_qs});
        QCOMPARE(ktest::ReadBytes(path).left(8), Sj(u"請1024-1"_qs));
#ifndef Q_OS_WIN
        QCOMPARE(QFileInfo(path).permissions() & 0x7777, bits);
#endif
    }

    // The folder as the system writes it ("\" on Windows) and with "/".
    void claimIsSavedAndFoundWhateverTheSeparator()
    {
        const QString work = QDir::toNativeSeparators(work_);
        const Claim claim = SampleClaim();
        const Result<FileStamp> result = WriteClaimFile(work, "1024", 2, "n", "s", claim.header, claim.table);
        QVERIFY(result.has_value());
        QCOMPARE(ListClaimFiles(work, "1024"), QStringList{u"請1024-2.CSV"_qs});
        QCOMPARE(ListClaimFiles(work_, "1024"), QStringList{u"請1024-2.CSV"_qs});
        Claim read = ResetClaimOf(0);
        QVERIFY(ReadClaimFile(ClaimFilePath(work, "1024", 2), read.header, read.table).has_value());
        QCOMPARE(read.table, claim.table);
        QCOMPARE(ktest::Entries(seikyu_), QStringList{u"請1024-2.CSV"_qs});
    }

    void failedReadLeavesTheClaimAlone_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("code");
        QTest::newRow("missing file") << u"seikyu/請1-1.CSV"_qs << int(FileNotFound);
        QTest::newRow("missing folder") << u"nowhere/請1-1.CSV"_qs << int(PathNotFound);
        QTest::newRow("folder") << u"seikyu"_qs << int(AccessDenied);
    }

    void failedReadLeavesTheClaimAlone()
    {
        QFETCH(QString, path);
        QFETCH(int, code);
        Claim claim = ResetClaimOf(2010);
        const Result<FileStamp> result = ReadClaimFile(work_ + '/' + path, claim.header, claim.table);
        QCOMPARE(result.error().code, code);
        QCOMPARE(result.error().message, IoErrorText(code));
        QCOMPARE(claim.header, ResetClaimOf(2010).header);
    }

    void systemErrorsGetTheirCodes_data()
    {
        QTest::addColumn<int>("err");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("message");
        QTest::newRow("ENOENT") << ENOENT << 2 << u"ﾌｧｲﾙが見つかりません"_qs;
        QTest::newRow("ENOTDIR") << ENOTDIR << 3 << u"不正なﾌｧｲﾙ名です"_qs;
        QTest::newRow("EMFILE") << EMFILE << 4 << u"ｵｰﾌﾟﾝしたﾌｧｲﾙが多すぎます"_qs;
        QTest::newRow("EROFS") << EROFS << 5 << u"ﾌｧｲﾙへのｱｸｾｽが拒否されました"_qs;
#ifdef EDQUOT
        QTest::newRow("EDQUOT") << EDQUOT << 101 << u"ﾃﾞｨｽｸがいっぱいです"_qs;
#endif
        QTest::newRow("EBUSY") << EBUSY << EBUSY << u"I/O ｴﾗｰ (%1)"_qs.arg(EBUSY);
        QTest::newRow("EIO, not access refused") << EIO << 1000 + EIO << u"I/O ｴﾗｰ (%1)"_qs.arg(1000 + EIO);
    }

    void systemErrorsGetTheirCodes()
    {
        QFETCH(int, err);
        QFETCH(int, code);
        QFETCH(QString, message);
        const IoResult result = IoResultFromErrno(err);
        QCOMPARE(result.error().code, code);
        QCOMPARE(result.error().message, message);
    }

#ifdef Q_OS_WIN
    void windowsErrorsGetTheirCodes_data()
    {
        QTest::addColumn<quint32>("err");
        QTest::addColumn<bool>("folderMissing");
        QTest::addColumn<int>("code");
        QTest::newRow("file not found") << quint32(ERROR_FILE_NOT_FOUND) << false << 2;
        QTest::newRow("file and folder not found") << quint32(ERROR_FILE_NOT_FOUND) << true << 3;
        QTest::newRow("bad name") << quint32(ERROR_INVALID_NAME) << false << 3;
        QTest::newRow("too many open") << quint32(ERROR_TOO_MANY_OPEN_FILES) << false << 4;
        QTest::newRow("sharing violation") << quint32(ERROR_SHARING_VIOLATION) << false << 5;
        QTest::newRow("write protected") << quint32(ERROR_WRITE_PROTECT) << false << 5;
        QTest::newRow("disk full") << quint32(ERROR_HANDLE_DISK_FULL) << false << 101;
        QTest::newRow("no reason") << quint32(ERROR_SUCCESS) << false << int(ERROR_GEN_FAILURE);
        QTest::newRow("other code keeps its number") << quint32(ERROR_NOT_READY) << false << int(ERROR_NOT_READY);
        QTest::newRow("other code 101, not disk full") << quint32(ERROR_EXCL_SEM_ALREADY_OWNED) << false << 1101;
    }

    void windowsErrorsGetTheirCodes()
    {
        QFETCH(quint32, err);
        QFETCH(bool, folderMissing);
        QFETCH(int, code);
        const QString path = folderMissing ? work_ + u"/nowhere/請1-1.CSV"_qs : seikyu_ + u"/請1-1.CSV"_qs;
        const IoResult result = IoResultFromSystemError(err, path);
        QCOMPARE(result.error().code, code);
        QCOMPARE(result.error().message, IoErrorText(code));
    }
#endif
};

QTEST_GUILESS_MAIN(ClaimFile)
#include "tst_claim_file.moc"
