// What keeps a claim from being lost: closing asks about unsaved changes,
// and a claim that another PC saved after it was loaded is overwritten only
// when the user says so.
#include "entry/SeiKyuImp.h"
#include "tests/entry/EntryDriver.h"
#include "tests/reliability/NumberedClaim.h"
#include "tests/support/TestMain.h"

#include <QFile>
#include <QProcess>

using namespace entrytest;
using A = forms::Answer;

namespace {

const QStringList kFirst = {"2010", "6", "14", "月", "済", "擦り傷", "頭部", "部活中", "陸上競技",
                            "校舎外その他"};
const QString kClaim = QStringLiteral("seikyu/請1024-1.CSV");
const QString kQuestion = box("confirm", QStringLiteral("変更を保存しますか"));
const QString kSaved = messageBox(QStringLiteral("保存しました！"));
const QString kChanged =
    box("confirm", QStringLiteral("請1024-1.CSV\nこの請求ファイルは読み込んだ後に他のパソコンで変更されています。上書きしますか？"));
const QByteArray kMarkedRow = "\r\n" + rowBytes("2010", {5}) + "\r\n";   // May of the first row marked

// Another PC saves claim k of student 1024, occurrence 1, into the folder
// (through its own mount where the folder is on a share).
bool otherPcSaves(const WorkFolder& folder, int k)
{
    QProcess saver;
    saver.start(rtest::ClaimSaverPath(KIBORU_CLAIM_SAVER), {"once", testsupport::SecondPcPath(folder.path()), "1024", QString::number(k)});
    return saver.waitForFinished(5000) && saver.exitCode() == 0;
}

} // namespace

class ClaimSafety : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void closingAsksAboutUnsavedChanges_data();
    void closingAsksAboutUnsavedChanges();
    void claimChangedElsewhereIsOverwrittenOnlyWhenAsked_data();
    void claimChangedElsewhereIsOverwrittenOnlyWhenAsked();

private:
    std::unique_ptr<Session> session;
};

void ClaimSafety::init()
{
    session = std::make_unique<Session>();
    writeRoster(session->folder);
}

void ClaimSafety::cleanup()
{
    QVERIFY(!session->dialogs.stuck());
    QVERIFY(!session->boxes.failed());
    QCOMPARE(session->dialogs.unanswered(), 0);
    session.reset();
}

void ClaimSafety::closingAsksAboutUnsavedChanges_data()
{
    QTest::addColumn<QString>("change");
    QTest::addColumn<bool>("closeBox");   // else 終 了
    QTest::addColumn<QList<A>>("answers");
    QTest::addColumn<QStringList>("boxes");
    QTest::addColumn<bool>("open");
    QTest::addColumn<bool>("written");
    const QString noRecord = messageBox("指定された回の記録はありません！");
    const QString denied = errorBox("ﾌｧｲﾙへのｱｸｾｽが拒否されました");
    QTest::newRow("nothing changed, end") << "" << false << QList<A>{} << QStringList{} << false << false;
    QTest::newRow("nothing changed, close box") << "" << true << QList<A>{} << QStringList{} << false << false;
    QTest::newRow("month marked and unmarked") << "unmark" << false << QList<A>{} << QStringList{} << false
                                               << false;
    QTest::newRow("mark, end, yes") << "mark" << false << QList<A>{A::Yes} << QStringList{kQuestion, kSaved}
                                    << false << true;
    QTest::newRow("mark, close box, yes") << "mark" << true << QList<A>{A::Yes} << QStringList{kQuestion, kSaved}
                                          << false << true;
    QTest::newRow("body part typed, end, no") << "part" << false << QList<A>{A::No} << QStringList{kQuestion}
                                              << false << false;
    QTest::newRow("injury year, close box, cancel") << "year" << true << QList<A>{A::Cancel}
                                                    << QStringList{kQuestion} << true << false;
    QTest::newRow("mark, end, cancel") << "mark" << false << QList<A>{A::Cancel} << QStringList{kQuestion}
                                       << true << false;
    QTest::newRow("mark, then another occurrence") << "occurrence" << false << QList<A>{}
                                                   << QStringList{noRecord} << false << false;
    QTest::newRow("mark, yes, the save fails") << "read-only" << false << QList<A>{A::Yes}
                                               << QStringList{kQuestion, denied} << true << false;
}

void ClaimSafety::closingAsksAboutUnsavedChanges()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QString, change);
    QFETCH(bool, closeBox);
    QFETCH(QList<A>, answers);
    QFETCH(QStringList, boxes);
    QFETCH(bool, open);
    QFETCH(bool, written);
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    const QByteArray old = s.folder.read(kClaim);
    s.chooseStudent("やまだ", 0, 0);
    TForm2& w = *s.window;
    if (change == "mark" || change == "unmark" || change == "occurrence" || change == "read-only")
        clickMonth(w, 5);
    for (int month : {9, 5, 9}) {   // a month button already selected changes nothing when pressed
        if (change == "unmark")
            clickMonth(w, month);
    }
    if (change == "part")
        typeInto(w.ui->ComboBox6, "左足首");
    if (change == "year")
        typeInto(w.ui->ComboBox2, "2012");
    if (change == "occurrence")
        s.chooseOccurrence("2");
    if (change == "read-only")
        QFile::setPermissions(s.folder.file(kClaim), QFile::ReadOwner);
    const QStringList lines = linesOf(w.ui->ListBox1);
    for (A answer : answers)
        s.boxes.queueAnswer(answer);
    if (closeBox)
        w.close();
    else
        QTest::mouseClick(w.ui->BitBtn3, Qt::LeftButton);

    QCOMPARE(s.shownBoxes(), boxes);
    QCOMPARE(w.isVisible(), open);
    if (open)
        QCOMPARE(linesOf(w.ui->ListBox1), lines);
    const QByteArray now = s.folder.read(kClaim);
    QCOMPARE(now.contains(kMarkedRow), written);
    if (!written)
        QCOMPARE(now, old);
}

void ClaimSafety::claimChangedElsewhereIsOverwrittenOnlyWhenAsked_data()
{
    QTest::addColumn<bool>("loaded");     // a claim file when the student was chosen
    QTest::addColumn<bool>("otherPc");    // another PC saves after that
    QTest::addColumn<bool>("endButton");  // saved through 終 了, else 保　存
    QTest::addColumn<A>("overwrite");     // the answer to the question about the other PC
    QTest::addColumn<QStringList>("boxes");
    const QStringList asked = {kQuestion, kChanged};
    const QStringList saved = {kQuestion, kChanged, kSaved};
    QTest::newRow("loaded, unchanged") << true << false << false << A::No << QStringList{kQuestion, kSaved};
    QTest::newRow("loaded, changed, yes") << true << true << false << A::Yes << saved;
    QTest::newRow("loaded, changed, no") << true << true << false << A::No << asked;
    QTest::newRow("loaded, changed, cancel") << true << true << false << A::Cancel << asked;
    QTest::newRow("new, created elsewhere, yes") << false << true << false << A::Yes << saved;
    QTest::newRow("new, created elsewhere, no") << false << true << false << A::No << asked;
    QTest::newRow("loaded, changed, end button, yes") << true << true << true << A::Yes << saved;
    QTest::newRow("loaded, changed, end button, no") << true << true << true << A::No << asked;
}

// はい writes the window's claim over the other one and the window closes;
// otherwise the other PC's claim stays and so does the window.
void ClaimSafety::claimChangedElsewhereIsOverwrittenOnlyWhenAsked()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(bool, loaded);
    QFETCH(bool, otherPc);
    QFETCH(bool, endButton);
    QFETCH(A, overwrite);
    QFETCH(QStringList, boxes);
    Session& s = *session;
    if (loaded)
        writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    else
        s.folder.makeFolder("seikyu");
    s.chooseStudent("やまだ", 0, loaded ? 0 : -1);
    if (!loaded)
        typeInto(s.window->ui->ComboBox2, "2010");
    clickMonth(*s.window, 5);
    if (otherPc)
        QVERIFY(otherPcSaves(s.folder, 7));
    const QByteArray before = s.folder.read(kClaim);
    const QStringList lines = linesOf(s.window->ui->ListBox1);
    s.boxes.queueAnswer(A::Yes);
    if (otherPc)
        s.boxes.queueAnswer(overwrite);
    QTest::mouseClick(endButton ? s.window->ui->BitBtn3 : s.window->ui->BitBtn2, Qt::LeftButton);

    QCOMPARE(s.shownBoxes(), boxes);
    const bool windowWrote = boxes.last() == kSaved;
    QCOMPARE(s.window->isVisible(), !windowWrote);
    const QByteArray now = s.folder.read(kClaim);
    if (!windowWrote) {
        QCOMPARE(now, before);
        QCOMPARE(now, rtest::NumberedClaimBytes("1024", 7));
        QCOMPARE(linesOf(s.window->ui->ListBox1), lines);
        return;
    }
    QVERIFY(now.startsWith(sjis("請1024-1,山田太郎,男\r\n")));
    QVERIFY(now.contains(kMarkedRow));
}

KIBORU_GUI_TEST_MAIN(ClaimSafety)
#include "tst_claim_safety.moc"
