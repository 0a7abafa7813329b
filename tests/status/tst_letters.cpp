// Letters to guardians and a claim's own page, printed to PDF and read
// back; the roster lookup by ID that gives the letters their addresses; the
// school's file that gives them their sender.

#include "store/History.h"
#include "rosters/RosterLookup.h"
#include "claimstatus/Export.h"
#include "claimstatus/HistoryList.h"
#include "claimstatus/SchoolInfo.h"
#include "claimstatus/StatusFile.h"
#include "forms/MessageSeam.h"
#include "status/Letters.h"
#include "status/MonthDialog.h"
#include "status/SchoolWindow.h"
#include "status/StatusWindow.h"
#include "tests/claims/TestSupport.h"
#include "tests/status/PrintedPdf.h"
#include "tests/status/StatusFixture.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMain.h"

#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>

using namespace claims;
using namespace statustest;

namespace {

const QByteArray kRosterHeader = ktest::Sj(u"ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n"_qs);

QByteArray RosterLine(const QString& id, const QString& class1, const QString& guardian, const QString& address)
{
    return ktest::Sj(QStringLiteral("%1,,,%2,生徒,せいと,%3,中学校,男,普通科,H22.4.19,%4\r\n").arg(id, class1, guardian, address));
}

} // namespace

class LettersTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup() { dir.reset(); }

    void rosterLookupById_data();
    void rosterLookupById();
    void schoolFileKeepsWhatItDoesNotKnow();
    void schoolWindowRefusesWhatShiftJisCannotHold();
    void payWayFollowsThePayMethods_data();
    void payWayFollowsThePayMethods();
    void lettersPrintedForTheShownStudents();
    void claimPagePrinted();
    void longLetterGoesOnOverASecondPage();

private:
    std::unique_ptr<testsupport::TestFolder> dir;
};

void LettersTest::init()
{
    dir = std::make_unique<testsupport::TestFolder>();
}

void LettersTest::rosterLookupById_data()
{
    QTest::addColumn<QStringList>("rosters");   // "name|line", each a roster of one student
    QTest::addColumn<QByteArray>("id");
    QTest::addColumn<QString>("found");         // roster name; empty: not found
    QTest::addColumn<QString>("guardian");
    QTest::addColumn<QStringList>("alsoIn");
    QTest::addColumn<QString>("className");     // on 2026-12-09
    QTest::newRow("found") << QStringList{u"R07入学.CSV|07001|1-2|山田　一郎|東京都"_qs, u"R08入学.CSV|08001|1-1|佐藤　花|大阪府"_qs}
                           << QByteArray("07001") << u"R07入学.CSV"_qs << u"山田　一郎"_qs << QStringList{} << u"1-2"_qs;
    QTest::newRow("not found") << QStringList{u"R08入学.CSV|08001|1-1|佐藤　花|大阪府"_qs} << QByteArray("09999")
                               << QString() << QString() << QStringList{} << QString();
    QTest::newRow("two rosters, newest taken")
        << QStringList{u"H28入学.CSV|500|2-1|古い　親|旧住所"_qs, u"R08入学.CSV|500|1-4|新しい　親|新住所"_qs}
        << QByteArray("500") << u"R08入学.CSV"_qs << u"新しい　親"_qs << QStringList{u"H28入学.CSV"_qs} << u"1-4"_qs;
    QTest::newRow("a name that is no roster") << QStringList{u"名簿R08.CSV|08001|1-1|佐藤　花|大阪府"_qs}
                                              << QByteArray("08001") << QString() << QString() << QStringList{} << QString();
}

void LettersTest::rosterLookupById()
{
    QFETCH(QStringList, rosters);
    QFETCH(QByteArray, id);
    QFETCH(QString, found);
    QFETCH(QString, guardian);
    QFETCH(QStringList, alsoIn);
    QFETCH(QString, className);
    for (const QString& roster : rosters) {
        const QStringList p = roster.split(u'|');
        QVERIFY(ktest::WriteBytes(dir->filePath(p[0]), kRosterHeader + RosterLine(p[1], p[2], p[3], p[4])));
    }
    const QHash<QByteArray, RosterEntry> entries = FindStudentsById(dir->path(), {id, "nobody"});
    QCOMPARE(entries.contains(id), !found.isEmpty());
    QCOMPARE(entries.size(), found.isEmpty() ? 0 : 1);
    if (found.isEmpty())
        return;
    QCOMPARE(entries[id].roster, found);
    QCOMPARE(entries[id].Text(6), guardian);
    QCOMPARE(entries[id].alsoIn, alsoIn);
    QCOMPARE(entries[id].ClassOn(kReference), className);
}

// A column and a line that a spreadsheet added stay; the save keeps the
// old file in the history; nothing else reads the file as a claim's.
void LettersTest::schoolFileKeepsWhatItDoesNotKnow()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    const QString w = dir->path();
    QVERIFY(QDir(w).mkpath(u"請求状況"_qs));
    QVERIFY(ktest::WriteBytes(SchoolFilePath(w), ktest::Sj(u"学校名,FAX,担当者\r\n旧名,03-1,田中\r\nメモ行\r\n"_qs)));
    Stamped<SchoolInfo> read = ReadSchoolFile(w).value();
    QCOMPARE(read.value.name, u"旧名"_qs);
    read.value.name = u"県立みどり高等学校"_qs;
    read.value.address = u"緑市1-2, 3"_qs;
    QVERIFY(WriteSchoolFile(w, read.value, read.stamp).has_value());
    QCOMPARE(ktest::ReadBytes(SchoolFilePath(w)),
             ktest::Sj(u"学校名,住所,電話,担当者,FAX\r\n県立みどり高等学校,\"緑市1-2, 3\",,田中,03-1\r\nメモ行\r\n"_qs));
    QCOMPARE(ReadSchoolFile(w)->value, read.value);
    QCOMPARE(ktest::Entries(HistoryFolderFor(SchoolFilePath(w))).size(), 1);
    QCOMPARE(WriteSchoolFile(w, read.value, read.stamp).error().refusal, Refusal::ChangedElsewhere);

    QVERIFY(ReadAllClaims(w).problems.isEmpty());
    QVERIFY(ReadHistory(w).files.isEmpty());
    QVERIFY(ExportRefusal(SchoolFilePath(w)).has_value());
}

void LettersTest::schoolWindowRefusesWhatShiftJisCannotHold()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    forms::MessageSeam seam;
    status::SchoolWindow window(dir->path());
    window.ui->SchoolName->setText(u"みどり高校"_qs);
    window.ui->SchoolPerson->setText(u"髙橋\U0001F600"_qs);
    window.SchoolSaveButtonClick();
    QCOMPARE(seam.shownTexts().size(), 1);
    QVERIFY2(seam.shownTexts().first().startsWith(u"担当者に保存できない文字"_qs), qPrintable(seam.shownTexts().first()));
    QVERIFY(!QFileInfo::exists(SchoolFilePath(dir->path())));
    window.ui->SchoolPerson->setText(u"髙橋"_qs);
    window.SchoolSaveButtonClick();
    QCOMPARE(ReadSchoolFile(dir->path())->value.person, u"髙橋"_qs);
}

void LettersTest::payWayFollowsThePayMethods_data()
{
    QTest::addColumn<QStringList>("methods");
    QTest::addColumn<QString>("sentence");
    const QString neutral = u"給付金のお渡しの方法と日時は、学校からあらためてご連絡いたします。"_qs;
    QTest::newRow("transfer") << QStringList{u"振込"_qs, u"振込"_qs} << u"給付金は、ご指定の口座へお振り込みいたします。"_qs;
    QTest::newRow("cash") << QStringList{u"現金"_qs} << u"給付金は、学校の事務室で現金にてお渡しいたします。受け取りの際は印鑑をお持ち下さい。"_qs;
    QTest::newRow("typed in a spreadsheet") << QStringList{u"郵便為替"_qs} << u"給付金は、郵便為替にてお渡しいたします。"_qs;
    QTest::newRow("mixed") << QStringList{u"振込"_qs, u"現金"_qs} << neutral;
    QTest::newRow("one not set") << QStringList{u"振込"_qs, QString()} << neutral;
    QTest::newRow("その他") << QStringList{u"その他"_qs} << neutral;
}

void LettersTest::payWayFollowsThePayMethods()
{
    QFETCH(QStringList, methods);
    QFETCH(QString, sentence);
    QCOMPARE(status::PayWaySentence(methods), sentence);
}

// Two students shown: one with months paid and not handed over and one
// month waiting for papers, found in a roster; one only in the claims.
void LettersTest::lettersPrintedForTheShownStudents()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    const QString w = dir->path();
    WriteClaim(w, "07001", 1, u"山田太郎"_qs, QDate(2026, 5, 14), {{2026, 5}, {2026, 6}, {2026, 7}});
    WriteClaim(w, "07001", 2, u"山田太郎"_qs, QDate(2026, 9, 1), {{2026, 9}});
    WriteClaim(w, "09999", 1, u"名簿無子"_qs, QDate(2026, 4, 20), {{2026, 4}});
    WriteClaim(w, "08005", 1, u"対象外男"_qs, QDate(2026, 4, 20), {{2026, 4}});
    QVERIFY(ktest::WriteBytes(w + u"/R07入学.CSV"_qs,
                              kRosterHeader + RosterLine(u"07001"_qs, u"1-3"_qs, u"山田　一郎"_qs, u"緑市本町1-2-3"_qs)));
    QVERIFY(ktest::WriteBytes(w + u"/H28入学.CSV"_qs,
                              kRosterHeader + RosterLine(u"07001"_qs, u"1-1"_qs, u"山田　古い"_qs, u"旧住所"_qs)));
    StatusFile a;
    for (auto [month, amount] : {std::pair{5, 12345}, std::pair{6, 4560}}) {
        MonthStatus& m = a.Edit({2026, month});
        m.state = ClaimState::Paid;
        m.amount = amount;
        m.payMethod = u"振込"_qs;
    }
    a.Edit({2026, 7}) = {{2026, 7}, ClaimState::Paid, {}, 100, QDate(2026, 10, 1), 1000, {}, QDate(2026, 11, 1), u"現金"_qs, {}};
    a.Edit({2026, 6}).paidDate = QDate(2026, 11, 30);
    QVERIFY(WriteStatusFile(w, "07001", 1, a).has_value());
    StatusFile b;
    b.Edit({2026, 9}).state = ClaimState::AwaitingPapers;
    QVERIFY(WriteStatusFile(w, "07001", 2, b).has_value());
    StatusFile c;
    c.Edit({2026, 4}) = {{2026, 4}, ClaimState::Paid, {}, {}, {}, 800, {}, {}, {}, {}};
    QVERIFY(WriteStatusFile(w, "09999", 1, c).has_value());
    SchoolInfo school{u"県立みどり高等学校"_qs, u"緑市学園町5"_qs, u"0123-45-6789"_qs, u"事務室　佐々木"_qs, {}, {}, {}};
    QVERIFY(WriteSchoolFile(w, school).has_value());

    forms::MessageSeam seam;
    status::StatusWindow window(w, kReference);
    QTRY_VERIFY(window.IsLoaded());
    window.ui->StatusFilter->setCurrentIndex(window.ui->StatusFilter->findText(u"すべて"_qs));
    QCOMPARE(window.LetterStudents(), (QSet<QByteArray>{"07001", "08005", "09999"}));
    const status::LetterBatch batch = window.LettersToPrint();
    QCOMPARE(batch.letters.size(), 3);   // 08005 has nothing to tell
    QVERIFY2(batch.notice.contains(u"名簿に見つからない生徒がいます。保護者名と住所なしで印刷します：\n09999 名簿無子"_qs),
             qPrintable(batch.notice));
    QVERIFY2(batch.notice.contains(u"07001 山田太郎（R07入学.CSV を使用。ほかに H28入学.CSV）"_qs), qPrintable(batch.notice));
    QVERIFY(!batch.notice.contains(u"学校情報"_qs));
    const QString out = PrintedText([&](QPrinter& p) { status::PrintLetters(p, batch.letters, batch.school, kReference); },
                                    dir->filePath(u"letters.pdf"_qs));
    QCOMPARE(PdfPages(dir->filePath(u"letters.pdf"_qs)), 3);
    // Each payout letter followed by its receipt; the receipts alone, one a student paid.
    const QString withReceipts = PrintedText(
        [&](QPrinter& p) { status::PrintLetters(p, batch.letters, batch.school, kReference, true); },
        dir->filePath(u"with-receipts.pdf"_qs));
    QCOMPARE(PdfPages(dir->filePath(u"with-receipts.pdf"_qs)), 5);
    PrintedText([&](QPrinter& p) { status::PrintReceipts(p, batch.letters, batch.school, kReference); },
                dir->filePath(u"receipts.pdf"_qs));
    QCOMPARE(PdfPages(dir->filePath(u"receipts.pdf"_qs)), 2);
#ifdef Q_OS_WIN
    // pdftotext is a Linux program that a Windows test under Wine cannot start.
    QSKIP("the printed text is read with pdftotext in the Linux run");
#endif
    QVERIFY2(!out.isEmpty(), "pdftotext missing (poppler-utils)");
    const QStringList pages = out.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 3);
    const QString simple = Flat(out);
    for (const QString& page : pages) {
        QVERIFY(Flat(page).contains(u"2026年12月9日"_qs));
        QVERIFY(Flat(page).contains(u"県立みどり高等学校 緑市学園町5 電話 0123-45-6789 担当 事務室 佐々木"_qs));
    }
    QVERIFY(pages[0].contains(u"災害共済給付金のお知らせ"_qs));
    const QString p0 = Flat(pages[0]);
    QVERIFY2(p0.contains(u"緑市本町1-2-3 山田 一郎 様"_qs), qPrintable(p0));
    QVERIFY(p0.contains(u"1-3 山田太郎さんの負傷"_qs));
    QVERIFY2(p0.contains(u"2026年5月 2026年5月14日 捻挫 12,345円 2026年6月 2026年5月14日 捻挫 4,560円 合計 16,905円"_qs),
             qPrintable(p0));
    QVERIFY(!p0.contains(u"2026年7月"_qs));   // handed over
    QVERIFY(p0.contains(u"ご指定の口座へお振り込みいたします"_qs));
    QVERIFY(pages[1].contains(u"医療等の状況のご提出のお願い"_qs));
    const QString p1 = Flat(pages[1]);
    QVERIFY2(p1.contains(u"2026年9月 2026年9月1日 捻挫 2028年10月10日"_qs), qPrintable(p1));
    QVERIFY(Flat(pages[2]).contains(u"2026年12月9日 保護者 様"_qs) && pages[2].contains(u"名簿無子さん"_qs));
    QVERIFY(simple.contains(u"2026年4月 2026年4月20日 捻挫 800円 合計 800円"_qs));
    QVERIFY(!simple.contains(u"対象外男"_qs));
    const QStringList receipts = withReceipts.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(receipts.size(), 5);
    for (int at : {1, 4}) {
        const QString r = Flat(receipts[at]);
        for (const QString& part : {u"災害共済給付金受領書"_qs, u"県立みどり高等学校長 様"_qs, u"受領しました"_qs,
                                    u"受領日 年 月 日"_qs, u"保護者氏名"_qs, u"印"_qs})
            QVERIFY2(r.contains(part), qPrintable(part + u" in "_qs + r));
    }
    const QString r1 = Flat(receipts[1]);
    QVERIFY2(r1.contains(u"1-3 山田太郎（ID 07001）"_qs), qPrintable(r1));
    QVERIFY2(r1.contains(u"2026年5月 2026年5月14日 捻挫 12,345円 2026年6月 2026年5月14日 捻挫 4,560円 合計 16,905円"_qs),
             qPrintable(r1));
    QVERIFY(receipts[2].contains(u"医療等の状況のご提出のお願い"_qs));
    QVERIFY(Flat(receipts[4]).contains(u"名簿無子（ID 09999）"_qs) && Flat(receipts[4]).contains(u"合計 800円"_qs));

    // The selected lines only.
    const int row = [&] {
        for (int r = 0; r < window.Model().rowCount(); ++r) {
            if (window.Model().Text(r, status::StatusModel::Id) == u"09999"_qs)
                return r;
        }
        return -1;
    }();
    window.ui->StatusTable->selectRow(row);
    QCOMPARE(window.LetterStudents(), QSet<QByteArray>{"09999"});
}

// The page of 07001's first claim, with its months as the dialog holds them.
void LettersTest::claimPagePrinted()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    const QString w = dir->path();
    WriteClaim(w, "07001", 1, u"山田太郎"_qs, QDate(2026, 5, 14), {{2026, 5}, {2026, 6}, {2027, 3}});
    QVERIFY(ktest::WriteBytes(w + u"/R07入学.CSV"_qs,
                              kRosterHeader + RosterLine(u"07001"_qs, u"1-3"_qs, u"山田　一郎"_qs, u"緑市本町1-2-3"_qs)));
    StatusFile a;
    a.Edit({2026, 5}) = {{2026, 5}, ClaimState::Paid, QDate(2026, 7, 1), 3086, QDate(2026, 8, 20), 12345, u"眼科"_qs,
                         QDate(2026, 9, 1), u"振込"_qs, {}};
    a.Edit({2026, 6}).state = ClaimState::AwaitingPapers;
    const QString longNote = u"医療等の状況を病院に頼んだ、十二月二十日までに届く予定、届いたら請求、最後まで印刷"_qs;
    a.Edit({2026, 6}).note = longNote;
    QVERIFY(WriteStatusFile(w, "07001", 1, a).has_value());
    QStringList problems;
    const ClaimOverview claim = ReadClaimOverview(ClaimFilePath(w, "07001", 1), StatusFilePath(w, "07001", 1), "07001", 1, problems);
    status::MonthDialog dialog(w, claim);
    const QString out = PrintedText([&](QPrinter& p) { QVERIFY(dialog.PrintTo(p)); }, dir->filePath(u"claim.pdf"_qs));
    QCOMPARE(PdfPages(dir->filePath(u"claim.pdf"_qs)), 1);
#ifdef Q_OS_WIN
    QSKIP("the printed text is read with pdftotext in the Linux run");
#endif
    QVERIFY2(!out.isEmpty(), "pdftotext missing (poppler-utils)");
    QCOMPARE(out.count(u'\f'), 1);
    const QString simple = Flat(out);
    QVERIFY2(simple.contains(u"07001 山田太郎 男 1-3 1"_qs), qPrintable(simple));
    QVERIFY(simple.contains(u"受傷日 2026/5/14"_qs));
    QVERIFY(simple.contains(u"傷病名 捻挫"_qs));
    QCOMPARE(out.count(u"◎"_qs), 3);
    QVERIFY(simple.contains(u"2026年5月 支払済 2026/07/01 3,086 2026/08/20 12,345 2026/09/01 振込 眼科"_qs));
    QVERIFY(simple.contains(u"2026年6月 書類待ち"_qs));
    QVERIFY(simple.contains(u"2027年3月 未請求"_qs));
    // A long note wraps within its cell, beside its month's other fields, and is printed whole.
    QVERIFY2(QString(simple).remove(u' ').remove(u"2026年6月書類待ち"_qs).contains(longNote), qPrintable(simple));
}

// Forty months paid and not handed over: none is lost at the foot of the page.
void LettersTest::longLetterGoesOnOverASecondPage()
{
    ClaimOverview claim;
    claim.id = "500";
    claim.name = u"長田長子"_qs;
    for (int i = 0; i < 40; ++i) {
        MonthStatus& m = claim.status.Edit({2020 + i / 12, i % 12 + 1});
        m.state = ClaimState::Paid;
        m.amount = 1000 + i;
    }
    const QList<status::Letter> letters = status::BuildLetters({claim}, {"500"}, {}, kReference);
    QCOMPARE(letters.size(), 1);
    const QString pdf = dir->filePath(u"long.pdf"_qs);
    const QString out = PrintedText([&](QPrinter& p) { status::PrintLetters(p, letters, {}, kReference); }, pdf);
    QCOMPARE(PdfPages(pdf), 2);
#ifdef Q_OS_WIN
    QSKIP("the printed text is read with pdftotext in the Linux run");
#endif
    const QStringList pages = out.split(u'\f', Qt::SkipEmptyParts);
    QCOMPARE(pages.size(), 2);
    for (int i = 0; i < 40; ++i) {
        const QString row = QStringLiteral("%1年%2月 1,0%3円").arg(2020 + i / 12).arg(i % 12 + 1).arg(i, 2, 10, QChar(u'0'));
        QVERIFY2(Flat(out).contains(row), qPrintable(row));
    }
    QVERIFY(Flat(pages[1]).contains(u"診療月 負傷・疾病 支払額"_qs));
    QVERIFY(Flat(pages[1]).contains(u"合計 40,780円"_qs));
    QVERIFY(pages[1].contains(u"以上"_qs));
}

KIBORU_GUI_TEST_MAIN(LettersTest)
#include "tst_letters.moc"
