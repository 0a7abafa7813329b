// The road of a claim through the entry window: search, the student dialog,
// the occurrence-file dialog, the claim shown, another occurrence, a new
// claim marked and saved, and the file loaded back; and how the header lists
// keep their items while claims come and go.
#include "entry/SearchAhead.h"
#include "entry/SeiKyuImp.h"
#include "tests/entry/EntryDriver.h"
#include "tests/support/TestMain.h"

#include <QDateTime>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>

using namespace entrytest;

namespace {

// Claim headers in header order: year, month, day, weekday, creditor, injury,
// body part, situation, club, place.
const QStringList kFirst = {"2010", "6", "14", "月", "済", "擦り傷", "頭部", "部活中", "陸上競技", ""};
const QStringList kThird = {"2011", "7", "1", "火", "未", "打撲", "膝部", "授業中", "野球", "学校外道路"};
const QStringList kHanakos = {"2012", "8", "20", "水", "済", "骨折", "手関節部", "放課後", "剣道",
                              "校舎外その他"};
const QStringList kNew = {"2010", "6", "14", "月", "未", "捻挫", "足関節部", "部活中", "陸上競技",
                          "校舎外運動場・校庭"};

std::array<forms::ComboBox*, 10> headerLists(const TForm2& w)
{
    return {w.ui->ComboBox2, w.ui->ComboBox3, w.ui->ComboBox4,  w.ui->ComboBox5, w.ui->ComboBox11,
            w.ui->ComboBox9, w.ui->ComboBox6, w.ui->ComboBox7, w.ui->ComboBox8, w.ui->ComboBox13};
}

QStringList headerTexts(const TForm2& w)
{
    QStringList texts;
    for (const forms::ComboBox* list : headerLists(w))
        texts << list->text();
    return texts;
}

QList<QStringList> ownItems(const TForm2& w)
{
    QList<QStringList> items;
    for (const forms::ComboBox* list : headerLists(w))
        items << itemsOf(list);
    return items;
}

QStringList studentFields(const TForm2& w)
{
    QStringList fields;
    for (const QLineEdit* edit : {w.ui->Edit2, w.ui->Edit3, w.ui->Edit4, w.ui->Edit5, w.ui->Edit6, w.ui->Edit7,
                                  w.ui->Edit8, w.ui->Edit9, w.ui->Edit10, w.ui->Edit11, w.ui->Edit12,
                                  w.ui->Edit13})
        fields << edit->text();
    return fields;
}

// Each list holds its own items and then one item per load still counted
// (loads[0] the oldest); shown: the header whose values are selected, each
// at the first item equal to it; none shown: no item selected, no text.
QString listsMismatch(const TForm2& w, const QList<QStringList>& own, const QList<QStringList>& loads,
                      const QStringList& shown)
{
    const auto lists = headerLists(w);
    for (int k = 0; k < 10; ++k) {
        QStringList want = own[k];
        for (const QStringList& load : loads)
            want << load[k];
        const QString name = lists[k]->objectName();
        if (itemsOf(lists[k]) != want)
            return name + QStringLiteral(" items: ") + itemsOf(lists[k]).mid(own[k].size()).join(u'|');
        const int selected = shown.isEmpty() ? -1 : int(want.indexOf(shown[k]));
        if (lists[k]->selectedIndex() != selected || lists[k]->text() != (shown.isEmpty() ? QString() : shown[k]))
            return name + QStringLiteral(" selects %1 \"%2\"").arg(lists[k]->selectedIndex()).arg(lists[k]->text());
    }
    return {};
}

} // namespace

class ClaimRoad : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void claimGoesFromSearchToFileAndBack();
    void headerListsAddOneItemPerStudentAndTrimIt();
    void trimBeforeAnyStudentKeepsTheOwnItems_data();
    void trimBeforeAnyStudentKeepsTheOwnItems();
    void occurrenceChoiceLoadsThePickedFile_data();
    void occurrenceChoiceLoadsThePickedFile();
    void studentWithoutFirstClaimStartsAnEmptyClaim();
    void searchAfterAPauseListsTheRosterAsItIs_data();
    void searchAfterAPauseListsTheRosterAsItIs();

private:
    void buildNewClaimOnScreen();

    std::unique_ptr<Session> session;
};

void ClaimRoad::init()
{
    session = std::make_unique<Session>();
    writeRoster(session->folder);
}

void ClaimRoad::cleanup()
{
    QVERIFY(!session->dialogs.stuck());
    QVERIFY(!session->boxes.failed());
    session.reset();
}

// The header as kNew has it, the injury year 2010, and months marked: April
// and May of 2010, March of 2012 (its line clicked), April of 2022 (its
// year chosen in the year box).
void ClaimRoad::buildNewClaimOnScreen()
{
    TForm2& w = *session->window;
    typeInto(w.ui->ComboBox2, "2010");
    QCOMPARE(linesOf(w.ui->ListBox1), listLines(2010));
    const auto lists = headerLists(w);
    for (int k = 1; k < 10; ++k)
        typeInto(lists[k], kNew[k]);
    clickMonth(w, 1);
    clickMonth(w, 2);
    clickLine(w.ui->ListBox1, 2);
    clickMonth(w, 12);
    typeInto(w.ui->ComboBox10, "2022");
    clickMonth(w, 1);
}

void ClaimRoad::claimGoesFromSearchToFileAndBack()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010, {{1, {4}}});
    writeClaim(s.folder, "請1024-3.CSV", kThird, 2011, {{2, {1, 12}}});

    s.chooseStudent("やまだ", 0, 0);
    QCOMPARE(s.dialogs.unanswered(), 0);
    const QList<SeenDialog>& seen = s.dialogs.seen();
    QCOMPARE(seen.size(), 2);
    QCOMPARE(seen[0].caption, QStringLiteral("生徒選択"));
    QCOMPARE(seen[0].lines, QStringList({kTaro, kHanako}));
    QCOMPARE(seen[1].caption, QStringLiteral("ファイル選択"));
    QCOMPARE(seen[1].lines, QStringList({"請1024-1.CSV", "請1024-3.CSV"}));
    QVERIFY(seen[1].overStudentDialog);
    QCOMPARE(seen[0].openAfter, QList<bool>{false});

    TForm2& w = *s.window;
    QCOMPARE(studentFields(w), kTaro.split(u','));
    QCOMPARE(QStringList({w.ui->Edit14->text(), w.ui->Edit15->text(), w.ui->Edit16->text()}),
             QStringList({"1024", "山田太郎", "男"}));
    QCOMPARE(s.state.CurrentStudentId, QByteArray("1024"));
    QCOMPARE(s.state.ChosenStudentLine, sjis(kTaro));
    QCOMPARE(s.state.CurrentOccurrence, 1);
    QCOMPARE(headerTexts(w), kFirst);
    QCOMPARE(w.ui->ComboBox12->text(), QStringLiteral("1"));
    QCOMPARE(linesOf(w.ui->ListBox1), listLines(2010, {{1, {4}}}));
    QCOMPARE(w.ui->ListBox1->selectedIndex(), 0);
    QCOMPARE(w.ui->ComboBox10->text(), QStringLiteral("2010"));

    s.dialogs.answer({{choose(1)}});
    chooseByMouse(w.ui->ComboBox12, 2);
    QCOMPARE(s.dialogs.unanswered(), 0);
    QCOMPARE(headerTexts(w), kThird);
    QCOMPARE(linesOf(w.ui->ListBox1), listLines(2011, {{2, {1, 12}}}));
    QCOMPARE(s.state.CurrentOccurrence, 3);
    QVERIFY(s.shownBoxes().isEmpty());

    s.chooseOccurrence("2");
    QCOMPARE(s.shownBoxes(), QStringList{messageBox("指定された回の記録はありません！")});
    QCOMPARE(w.ui->ListBox1->count(), 0);
    QCOMPARE(headerTexts(w), QStringList(10, QString()));
    QCOMPARE(w.ui->ComboBox12->text(), QStringLiteral("2"));
    QCOMPARE(s.state.CurrentOccurrence, 2);

    buildNewClaimOnScreen();
    const QMap<int, QList<int>> marks = {{1, {1, 2}}, {3, {12}}, {13, {1}}};
    QCOMPARE(linesOf(w.ui->ListBox1), listLines(2010, marks));
    const claims::TTreatmentTable saved = s.state.TreatmentTable;
    s.boxes.clear();
    s.save(forms::Answer::Yes);
    QCOMPARE(s.shownBoxes(), QStringList({box("confirm", "変更を保存しますか"), messageBox("保存しました！")}));
    QVERIFY(!w.isVisible());
    QCOMPARE(w.result(), 1000);

    const QByteArray file = s.folder.read("seikyu/請1024-2.CSV");
    QCOMPARE(file, claimBytes("請1024-2,山田太郎,男", kNew, tableRows(2010, marks)));
    QList<QByteArray> lines = file.split('\n');
    QCOMPARE(lines.takeLast(), QByteArray());
    QCOMPARE(lines.size(), 15);
    for (int i = 0; i < 15; ++i) {
        QVERIFY(lines[i].endsWith('\r'));
        QCOMPARE(lines[i].count(',') + 1, i == 0 ? 3 : i == 1 ? 10 : 25);
    }

    s.reopen();
    s.chooseStudent("やまだ", 0, 1);
    QCOMPARE(s.dialogs.seen().last().lines, QStringList({"請1024-1.CSV", "請1024-2.CSV", "請1024-3.CSV"}));
    QCOMPARE(headerTexts(*s.window), kNew);
    QCOMPARE(s.window->ui->ComboBox12->text(), QStringLiteral("2"));
    QCOMPARE(linesOf(s.window->ui->ListBox1), listLines(2010, marks));
    QVERIFY(s.state.TreatmentTable == saved);
}

// A load adds each value behind the list's own items; a later load takes the
// place of that item; an occurrence without claim takes it away again. A
// second student's load comes behind the first student's item, and only it
// is taken away.
void ClaimRoad::headerListsAddOneItemPerStudentAndTrimIt()
{
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    writeClaim(s.folder, "請1024-3.CSV", kThird, 2011);
    writeClaim(s.folder, "請1025-1.CSV", kHanakos, 2012);
    const QList<QStringList> own = ownItems(*s.window);

    s.chooseStudent("やまだ", 0, 0);
    QCOMPARE(listsMismatch(*s.window, own, {kFirst}, kFirst), QString());
    QCOMPARE(s.window->ui->ComboBox6->selectedIndex(), 0);   // "頭部" is the list's own first item
    s.chooseOccurrence("3", {{choose(1)}});
    QCOMPARE(listsMismatch(*s.window, own, {kThird}, kThird), QString());
    s.chooseOccurrence("2");
    QCOMPARE(listsMismatch(*s.window, own, {}, {}), QString());
    s.chooseOccurrence("1", {{choose(0)}});
    QCOMPARE(listsMismatch(*s.window, own, {kFirst}, kFirst), QString());

    s.chooseStudent("やまだ", 1, 0);
    QCOMPARE(s.state.CurrentStudentId, QByteArray("1025"));
    QCOMPARE(listsMismatch(*s.window, own, {kFirst, kHanakos}, kHanakos), QString());
    s.chooseOccurrence("2");
    QCOMPARE(listsMismatch(*s.window, own, {kFirst}, {}), QString());
    s.chooseOccurrence("1", {{choose(0)}});
    QCOMPARE(listsMismatch(*s.window, own, {kFirst, kHanakos}, kHanakos), QString());
    QCOMPARE(s.dialogs.unanswered(), 0);
    QCOMPARE(s.shownBoxes(), QStringList(2, messageBox("指定された回の記録はありません！")));
}

void ClaimRoad::trimBeforeAnyStudentKeepsTheOwnItems_data()
{
    QTest::addColumn<bool>("studentInEarlierWindow");
    QTest::newRow("first window of the run") << false;
    QTest::newRow("window reopened after a student") << true;
}

void ClaimRoad::trimBeforeAnyStudentKeepsTheOwnItems()
{
    QFETCH(bool, studentInEarlierWindow);
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    const QList<QStringList> own = ownItems(*s.window);
    if (studentInEarlierWindow) {
        s.chooseStudent("やまだ", 0, 0);
        s.reopen();
    }
    s.chooseOccurrence("2");
    QCOMPARE(listsMismatch(*s.window, own, {}, {}), QString());
    if (!studentInEarlierWindow)
        return;
    s.chooseOccurrence("1", {{choose(0)}});
    QCOMPARE(listsMismatch(*s.window, own, {kFirst}, kFirst), QString());
    s.chooseOccurrence("2");
    QCOMPARE(listsMismatch(*s.window, own, {}, {}), QString());
}

void ClaimRoad::occurrenceChoiceLoadsThePickedFile_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("fileLine");   // -1: no dialog
    QTest::addColumn<QStringList>("dialogLines");
    QTest::addColumn<int>("occurrence");
    QTest::addColumn<QString>("shownNumber");
    QTest::addColumn<QStringList>("header");
    QTest::addColumn<QStringList>("boxes");
    const QString noRecord = messageBox("指定された回の記録はありません！");
    const QStringList both = {"請1024-1.CSV", "請1024-3.CSV"};
    QTest::newRow("number with a claim") << "3" << 1 << both << 3 << "3" << kThird << QStringList();
    QTest::newRow("the dialog picks another file") << "3" << 0 << both << 1 << "1" << kFirst << QStringList();
    QTest::newRow("number without a claim") << "2" << -1 << QStringList() << 2 << "2"
                                            << QStringList(10, QString()) << QStringList{noRecord};
    QTest::newRow("typed text that is no number") << "9" << -1 << QStringList() << 1 << "9" << kFirst
                                                  << QStringList();
    QTest::newRow("typed zero") << "0" << -1 << QStringList() << 1 << "0" << kFirst << QStringList();
    QTest::newRow("claim file that is a folder") << "1" << 1 << both << 3 << "1" << kFirst
                                                 << QStringList{errorBox("ﾌｧｲﾙへのｱｸｾｽが拒否されました")};
}

void ClaimRoad::occurrenceChoiceLoadsThePickedFile()
{
    QFETCH(QString, typed);
    QFETCH(int, fileLine);
    QFETCH(QStringList, dialogLines);
    QFETCH(int, occurrence);
    QFETCH(QString, shownNumber);
    QFETCH(QStringList, header);
    QFETCH(QStringList, boxes);
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    if (QByteArray(QTest::currentDataTag()).contains("folder"))
        s.folder.makeFolder("seikyu/請1024-3.CSV");
    else
        writeClaim(s.folder, "請1024-3.CSV", kThird, 2011);
    s.chooseStudent("やまだ", 0, 0);

    s.chooseOccurrence(typed, fileLine < 0 ? QList<QList<Act>>() : QList<QList<Act>>{{choose(fileLine)}});
    QCOMPARE(s.dialogs.unanswered(), 0);
    QCOMPARE(s.dialogs.seen().size(), fileLine < 0 ? 2 : 3);   // after the student and the file of occurrence 1
    if (fileLine >= 0)
        QCOMPARE(s.dialogs.seen().last().lines, dialogLines);
    QCOMPARE(s.shownBoxes(), boxes);
    QCOMPARE(s.state.CurrentOccurrence, occurrence);
    QCOMPARE(s.window->ui->ComboBox12->text(), shownNumber);
    QCOMPARE(headerTexts(*s.window), header);
    QCOMPARE(s.window->ui->ListBox1->count(), header.first().isEmpty() ? 0 : 13);
}

// No file of occurrence 1: no dialog, no message, an empty claim area, and
// the claim in memory reset.
void ClaimRoad::studentWithoutFirstClaimStartsAnEmptyClaim()
{
    Session& s = *session;
    writeClaim(s.folder, "請1024-2.CSV", kThird, 2011);
    s.chooseStudent("やまだ", 0);
    QCOMPARE(s.dialogs.seen().size(), 1);
    QVERIFY(s.shownBoxes().isEmpty());
    QCOMPARE(s.state.CurrentOccurrence, 1);
    QCOMPARE(s.window->ui->ComboBox12->text(), QStringLiteral("1"));
    QCOMPARE(s.window->ui->ListBox1->count(), 0);
    QCOMPARE(headerTexts(*s.window), QStringList(10, QString()));
    QCOMPARE(s.state.ClaimHeader.place, QByteArray(" "));
    QCOMPARE(s.state.TreatmentTable.row(13).year(), QByteArray("12"));   // no injury year: 0 .. 12
}

KIBORU_GUI_TEST_MAIN(ClaimRoad)
// 太郎 with another reading, as many bytes long.
const QString kSatoTaro = QString(kTaro).replace(QStringLiteral("やまだたろう"), QStringLiteral("さとうたろう"));
const QString kYamadaSaburo = QStringLiteral(
    "1031,3-3,2-2,1-2,山田三郎,やまださぶろう,山田一郎,西中学校,男,理数科,H4.1.2,東京都中野区7-8");

void ClaimRoad::searchAfterAPauseListsTheRosterAsItIs_data()
{
    QTest::addColumn<QStringList>("roster");   // written after the search ahead; empty: untouched
    QTest::addColumn<int>("timeMoved");        // seconds added to its time of last change
    QTest::addColumn<QString>("typedLater");   // the reading typed after the search ahead
    QTest::addColumn<QStringList>("listed");
    const QStringList sameSize = {kSatoTaro, kHanako, kJiro};
    QTest::newRow("roster untouched") << QStringList() << 0 << "" << QStringList({kTaro, kHanako});
    QTest::newRow("same size, another time") << sameSize << 2 << "" << QStringList({kHanako});
    QTest::newRow("another size") << QStringList({kTaro, kHanako, kJiro, kYamadaSaburo}) << 0 << ""
                                  << QStringList({kTaro, kHanako, kYamadaSaburo});
    QTest::newRow("reading typed again") << QStringList() << 0 << "やまだは" << QStringList({kHanako});
    // Size and time are all that the click compares: bytes changed under
    // both still list the lines found ahead, which shows that they were used.
    QTest::newRow("same size and time") << sameSize << 0 << "" << QStringList({kTaro, kHanako});
}

// 検　索 after a pause in typing lists the lines that the search made
// ahead found only while the roster is as it was then.
void ClaimRoad::searchAfterAPauseListsTheRosterAsItIs()
{
    QFETCH(QStringList, roster);
    QFETCH(int, timeMoved);
    QFETCH(QString, typedLater);
    QFETCH(QStringList, listed);
    Session& s = *session;
    TForm2& w = *s.window;
    typeInto(w.ui->ComboBox1, kEntryYear);
    typeInto(w.ui->Edit1, QStringLiteral("やまだ"));
    auto* ahead = w.findChild<entry::SearchAhead*>();
    QTRY_VERIFY(ahead->Wait());
    if (!roster.isEmpty()) {
        const QString path = s.folder.file(kRoster);
        const QDateTime time = QFileInfo(path).lastModified();
        const qint64 size = QFileInfo(path).size();
        writeRoster(s.folder, roster);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(time.addSecs(timeMoved), QFileDevice::FileModificationTime));
        const QFileInfo now(path);
        if (now.size() == size && timeMoved == 0 && now.lastModified() != time)
            QSKIP("this folder does not keep the time of last change as it was set (smbnetfs sets whole seconds)");
    }
    if (!typedLater.isEmpty())
        typeInto(w.ui->Edit1, typedLater);
    s.dialogs.answer({actsNamed({"end"})});
    QTest::mouseClick(w.ui->BitBtn1, Qt::LeftButton);
    QCOMPARE(s.dialogs.seen().size(), 1);
    QCOMPARE(s.dialogs.seen()[0].lines, listed);
}

#include "tst_claim_road.moc"
