// What the entry window tells the user and what it refuses: the search's
// messages, the dialogs that need a choice, the save's question, the texts a
// claim file cannot hold, and saves that fail on the disk.
#include "entry/SeiKyuImp.h"
#include "tests/entry/EntryDriver.h"
#include "tests/support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QInputMethodEvent>
#include <QLineEdit>

using namespace entrytest;

namespace {

const QStringList kFirst = {"2010", "6", "14", "月", "済", "擦り傷", "頭部", "部活中", "陸上競技",
                            "校舎外その他"};
// Students whose ID can name no claim file.
const QString kSuzuki =
    QStringLiteral("10/24,3-1,2-1,1-1,鈴木一,すずきはじめ,鈴木二,西中学校,男,普通科,H4.1.2,大阪府");
const QString kTanaka =
    QStringLiteral(",3-1,2-1,1-1,田中一,たなかはじめ,田中二,西中学校,男,普通科,H4.1.2,大阪府");
const QString kNoLine = QStringLiteral("該当生徒を選択して下さい！！！");
const QString kNoFile = QStringLiteral("受傷回数のファイルを選択して下さい！！！");
const QString kNoStudent = QStringLiteral("生徒が選択されていません！！");
const QString kSaved = QStringLiteral("保存しました！");
const QString kQuestion = box("confirm", QStringLiteral("変更を保存しますか"));

QString commaIn(const QString& label)
{
    return QStringLiteral("「%1」にカンマや改行は保存できません！！").arg(label);
}

QString unstorableIn(const QString& label)
{
    return QStringLiteral("「%1」に保存できない文字があります！！").arg(label);
}

QList<forms::ComboBox*> headerLists(const TForm2& w)
{
    return {w.ui->ComboBox2, w.ui->ComboBox3, w.ui->ComboBox4, w.ui->ComboBox5, w.ui->ComboBox11,
            w.ui->ComboBox9, w.ui->ComboBox6, w.ui->ComboBox7, w.ui->ComboBox8, w.ui->ComboBox13};
}

QList<int> headerChoices(const TForm2& w)
{
    QList<int> chosen;
    for (const forms::ComboBox* list : headerLists(w))
        chosen << list->selectedIndex();
    return chosen;
}

QStringList headerTexts(const TForm2& w)
{
    QStringList texts;
    for (const forms::ComboBox* list : headerLists(w))
        texts << list->text();
    return texts;
}

// What an input method sends when the user confirms a text: unlike a key,
// it can bring a line break.
void commitText(QWidget* field, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(field, &event);
}

QList<QByteArray> headerFieldsOf(const QByteArray& claimFile)
{
    return claimFile.split('\n').value(1).chopped(1).split(',');
}

} // namespace

class EntryMessages : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void searchReportsWhatIsMissing_data();
    void searchReportsWhatIsMissing();
    void studentDialogEndsWithoutAChoice_data();
    void studentDialogEndsWithoutAChoice();
    void occurrenceDialogEndsOnlyWithAFile_data();
    void occurrenceDialogEndsOnlyWithAFile();
    void unreadableClaimStillEndsTheStudentChoice();
    void saveAsksFirst_data();
    void saveAsksFirst();
    void endButtonClosesWithoutSaving();
    void saveWritesChosenItemsAndTypedTexts_data();
    void saveWritesChosenItemsAndTypedTexts();
    void saveRefusesWhatTheFileCannotHold_data();
    void saveRefusesWhatTheFileCannotHold();
    void utf8RosterOfAReiwaYear_data();
    void utf8RosterOfAReiwaYear();
    void failedSaveKeepsTheWindowAndTheOldFile_data();
    void failedSaveKeepsTheWindowAndTheOldFile();

private:
    std::unique_ptr<Session> session;
};

void EntryMessages::init()
{
    session = std::make_unique<Session>();
    writeRoster(session->folder, {kTaro, kHanako, kJiro, kSuzuki, kTanaka});
}

void EntryMessages::cleanup()
{
    QVERIFY(!session->dialogs.stuck());
    QVERIFY(!session->boxes.failed());
    QCOMPARE(session->dialogs.unanswered(), 0);
    session.reset();
}

void EntryMessages::searchReportsWhatIsMissing_data()
{
    QTest::addColumn<QString>("entryYear");
    QTest::addColumn<QString>("roster");   // as the message names it; empty: no folder
    QTest::addColumn<QString>("kind");
    QTest::newRow("no roster of that year") << "平成21年度" << "H21入学.CSV" << "message";
    QTest::newRow("no entry year") << "" << "H入学.CSV" << "message";
    QTest::newRow("roster that is a folder") << "平成22年度" << "H22入学.CSV" << "error";
#ifndef Q_OS_WIN   // Windows does not remove a program's current folder
    QTest::newRow("current folder removed") << "平成20年度" << "" << "message";
#endif
}

// The claim on screen stays as it was, and no dialog opens.
void EntryMessages::searchReportsWhatIsMissing()
{
    QFETCH(QString, entryYear);
    QFETCH(QString, roster);
    QFETCH(QString, kind);
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    s.chooseStudent("やまだ", 0, 0);
    s.folder.makeFolder("H22入学.CSV");
    const QStringList lines = linesOf(s.window->ui->ListBox1);
    const QString path = QDir::toNativeSeparators(QDir::currentPath() + u'/' + roster);
    if (roster.isEmpty()) {
        s.folder.makeFolder("gone");
        QDir::setCurrent(s.folder.file("gone"));
        QVERIFY(QDir(s.folder.path()).rmdir("gone"));
    }
    s.search("やまだ", {}, entryYear);
    QDir::setCurrent(s.folder.path());

    QString text = QStringLiteral("ディレクトリがありません！！");
    if (kind == "error")
        text = QStringLiteral("ﾌｧｲﾙ %1 は開けません").arg(path);
    else if (!roster.isEmpty())
        text = QStringLiteral("指定された") + path + QStringLiteral("ファイルがありません！！");
    QCOMPARE(s.shownBoxes(), QStringList{box(qPrintable(kind), text)});
    if (!roster.isEmpty())
        QCOMPARE(QDir::toNativeSeparators(s.state.RosterFilePath), path);
    QCOMPARE(s.dialogs.seen().size(), 2);
    QCOMPARE(linesOf(s.window->ui->ListBox1), lines);
    QCOMPARE(headerTexts(*s.window), kFirst);
    QCOMPARE(s.state.CurrentStudentId, QByteArray("1024"));
}

void EntryMessages::studentDialogEndsWithoutAChoice_data()
{
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QStringList>("acts");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<QList<bool>>("openAfter");
    const QStringList both = {kTaro, kHanako};
    QTest::newRow("decide with no line, then end") << "やまだ" << QStringList{"decide", "end"} << both
                                                   << QList<bool>{true, false};
    QTest::newRow("decide with no line, then the close box") << "やまだ" << QStringList{"decide", "close"}
                                                             << both << QList<bool>{true, false};
    QTest::newRow("Esc") << "やまだ" << QStringList{"escape"} << both << QList<bool>{false};
    QTest::newRow("empty reading") << "" << QStringList{"decide", "end"} << QStringList()
                                   << QList<bool>{true, false};
    QTest::newRow("reading of blanks") << "   " << QStringList{"decide", "end"} << QStringList()
                                       << QList<bool>{true, false};
    QTest::newRow("reading that matches nothing") << "わたなべ" << QStringList{"end"} << QStringList()
                                                  << QList<bool>{false};
}

// The student and the claim in memory stay, and the claim area shows again
// what it showed before the search, edits included: a save then writes the
// claim being edited, never a cleared header.
void EntryMessages::studentDialogEndsWithoutAChoice()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QString, reading);
    QFETCH(QStringList, acts);
    QFETCH(QStringList, lines);
    QFETCH(QList<bool>, openAfter);
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    writeClaim(s.folder, "請1024-3.CSV", kFirst, 2010, {{1, {6}}});
    s.chooseStudent("やまだ", 0, 0);
    s.chooseOccurrence("3", {{choose(1)}});
    clickLine(s.window->ui->ListBox1, 1);
    typeInto(s.window->ui->ComboBox8, QStringLiteral("野球"));
    const claims::TTreatmentTable table = s.state.TreatmentTable;
    const QStringList header = headerTexts(*s.window);
    const QList<int> chosen = headerChoices(*s.window);
    const QStringList shown = linesOf(s.window->ui->ListBox1);

    s.search(reading, {actsNamed(acts)});
    const SeenDialog& seen = s.dialogs.seen().last();
    QCOMPARE(seen.caption, QStringLiteral("生徒選択"));
    QCOMPARE(seen.lines, lines);
    QCOMPARE(seen.openAfter, openAfter);
    QCOMPARE(s.shownBoxes(), QStringList(acts.count("decide"), messageBox(kNoLine)));
    QCOMPARE(s.state.CurrentStudentId, QByteArray("1024"));
    QCOMPARE(s.state.CurrentOccurrence, 3);
    QVERIFY(s.state.TreatmentTable == table);
    QCOMPARE(s.window->ui->Edit14->text(), QStringLiteral("1024"));
    QCOMPARE(headerTexts(*s.window), header);
    QCOMPARE(headerChoices(*s.window), chosen);
    QCOMPARE(linesOf(s.window->ui->ListBox1), shown);
    QCOMPARE(s.window->ui->ListBox1->selectedIndex(), 1);

    s.save(forms::Answer::Yes);
    QStringList saved = kFirst;
    saved[8] = QStringLiteral("野球");
    QCOMPARE(s.folder.read("seikyu/請1024-3.CSV"),
             claimBytes("請1024-3,山田太郎,男", saved, tableRows(2010, {{1, {6}}})));
}

void EntryMessages::occurrenceDialogEndsOnlyWithAFile_data()
{
    QTest::addColumn<QStringList>("acts");
    QTest::addColumn<bool>("refused");
    QTest::newRow("decide with no line") << QStringList{"decide", "choose1"} << true;
    QTest::newRow("close box with no line") << QStringList{"close", "choose1"} << true;
    QTest::newRow("Esc with no line") << QStringList{"escape", "choose1"} << true;
    QTest::newRow("close box with a line") << QStringList{"line1", "close"} << false;
    QTest::newRow("Esc with a line") << QStringList{"line1", "escape"} << false;
}

// Without a line the dialog says so and stays; once a line is chosen, by
// whichever way it ends, the load goes on with that file.
void EntryMessages::occurrenceDialogEndsOnlyWithAFile()
{
    QFETCH(QStringList, acts);
    QFETCH(bool, refused);
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    writeClaim(s.folder, "請1024-3.CSV", kFirst, 2010, {{1, {6}}});
    s.search("やまだ", {{choose(0)}, actsNamed(acts)});

    QCOMPARE(s.dialogs.seen().size(), 2);
    QCOMPARE(s.dialogs.seen().last().openAfter, QList<bool>({true, false}));
    QCOMPARE(s.shownBoxes(), refused ? QStringList{messageBox(kNoFile)} : QStringList());
    QCOMPARE(s.state.ChosenClaimFile, QStringLiteral("請1024-3.CSV"));
    QCOMPARE(s.state.CurrentOccurrence, 3);
    QCOMPARE(s.window->ui->ComboBox12->text(), QStringLiteral("3"));
    QCOMPARE(linesOf(s.window->ui->ListBox1), listLines(2010, {{1, {6}}}));
}

// The chosen claim file cannot be read: the error box, and the student
// dialog closes all the same, with the student chosen.
void EntryMessages::unreadableClaimStillEndsTheStudentChoice()
{
    Session& s = *session;
    writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
    s.folder.makeFolder("seikyu/請1024-2.CSV");
    s.search("やまだ", {{choose(0)}, {choose(1)}});

    QCOMPARE(s.dialogs.seen().size(), 2);
    QCOMPARE(s.dialogs.seen()[1].lines, QStringList({"請1024-1.CSV", "請1024-2.CSV"}));
    QCOMPARE(s.dialogs.seen()[0].openAfter, QList<bool>{false});
    QCOMPARE(s.shownBoxes(), QStringList{errorBox("ﾌｧｲﾙへのｱｸｾｽが拒否されました")});
    QCOMPARE(s.state.CurrentStudentId, QByteArray("1024"));
    QCOMPARE(s.state.CurrentOccurrence, 2);
}

void EntryMessages::saveAsksFirst_data()
{
    QTest::addColumn<QList<forms::Answer>>("answers");   // one per press of 保　存
    QTest::addColumn<bool>("written");
    QTest::addColumn<bool>("open");
    using A = forms::Answer;
    QTest::newRow("yes") << QList<A>{A::Yes} << true << false;
    QTest::newRow("no, twice") << QList<A>{A::No, A::No} << false << true;
    QTest::newRow("no, then yes") << QList<A>{A::No, A::Yes} << true << false;
    QTest::newRow("cancel") << QList<A>{A::Cancel} << false << false;
}

void EntryMessages::saveAsksFirst()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QList<forms::Answer>, answers);
    QFETCH(bool, written);
    QFETCH(bool, open);
    Session& s = *session;
    s.folder.makeFolder("seikyu");
    s.chooseStudent("やまだ", 0);
    typeInto(s.window->ui->ComboBox2, "2010");
    clickMonth(*s.window, 1);
    const QStringList lines = linesOf(s.window->ui->ListBox1);
    for (forms::Answer answer : answers)
        s.save(answer);

    QStringList boxes(answers.size(), kQuestion);
    if (written)
        boxes << messageBox(kSaved);
    QCOMPARE(s.shownBoxes(), boxes);
    QCOMPARE(s.folder.claimFiles(), written ? QStringList{"請1024-1.CSV"} : QStringList());
    QCOMPARE(s.window->isVisible(), open);
    QCOMPARE(s.window->result(), open ? 0 : 1000);
    QCOMPARE(linesOf(s.window->ui->ListBox1), lines);
}

// 終 了 after marking months asks first; "いいえ(&N)" writes nothing and
// closes; the marks stay in memory.
void EntryMessages::endButtonClosesWithoutSaving()
{
    Session& s = *session;
    s.folder.makeFolder("seikyu");
    s.chooseStudent("やまだ", 0);
    typeInto(s.window->ui->ComboBox2, "2010");
    clickMonth(*s.window, 8);
    s.boxes.queueAnswer(forms::Answer::No);
    QTest::mouseClick(s.window->ui->BitBtn3, Qt::LeftButton);

    QVERIFY(!s.window->isVisible());
    QCOMPARE(s.window->result(), 1000);
    QCOMPARE(s.shownBoxes(), QStringList{kQuestion});
    QCOMPARE(s.folder.claimFiles(), QStringList());
    QCOMPARE(s.state.TreatmentTable.row(1).mark(8), QByteArray("\x81\x9D"));
}

void EntryMessages::saveWritesChosenItemsAndTypedTexts_data()
{
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<int>("field");
    QTest::addColumn<QByteArray>("saved");
    QTest::newRow("year typed as an entry") << "ComboBox2" << "2012" << 0 << QByteArray("2012");
    QTest::newRow("year that is no entry") << "ComboBox2" << "1999" << 0 << QByteArray();
    QTest::newRow("month typed as an item") << "ComboBox3" << "6" << 1 << QByteArray("6");
    QTest::newRow("month that is no item") << "ComboBox3" << "13" << 1 << QByteArray();
    QTest::newRow("day typed as an item") << "ComboBox4" << "31" << 2 << QByteArray("31");
    QTest::newRow("weekday typed as an item") << "ComboBox5" << "土" << 3 << sjis("土");
    QTest::newRow("weekday typed past an item") << "ComboBox5" << "月曜" << 3 << QByteArray();
    QTest::newRow("creditor typed as an item") << "ComboBox11" << "済" << 4 << sjis("済");
    QTest::newRow("body part that is no item") << "ComboBox6" << "左足首" << 6 << sjis("左足首");
    QTest::newRow("place that is no item") << "ComboBox13" << "体育館裏" << 9 << sjis("体育館裏");
}

// The first five header lists save their chosen item, a typed text equal to
// an item counting as its choice; the others save the text in the box.
void EntryMessages::saveWritesChosenItemsAndTypedTexts()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QString, list);
    QFETCH(QString, typed);
    QFETCH(int, field);
    QFETCH(QByteArray, saved);
    Session& s = *session;
    s.folder.makeFolder("seikyu");
    s.chooseStudent("やまだ", 0);
    typeInto(s.window->ui->ComboBox2, "2010");
    typeInto(s.window->findChild<forms::ComboBox*>(list), typed);
    s.save(forms::Answer::Yes);

    QCOMPARE(s.shownBoxes().value(1), messageBox(kSaved));
    const QByteArray file = s.folder.read("seikyu/請1024-1.CSV");
    const QList<QByteArray> header = headerFieldsOf(file);
    QCOMPARE(header.size(), 10);
    QCOMPARE(header[field], saved);
    if (list == "ComboBox2" && !saved.isEmpty())
        QVERIFY(file.contains("\r\n" + rowBytes(saved) + "\r\n"));
}

void EntryMessages::saveRefusesWhatTheFileCannotHold_data()
{
    QTest::addColumn<QString>("reading");   // of the student chosen; empty: none
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("text");      // typed, or committed with a line break
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("setup");   // "occurrence": 受傷回数 2 chosen; "id": an ID, no occurrence;
                                          // "reopened": the student, then a new window
    const QString badId = QStringLiteral("ID番号がファイル名に使えません！！");
    const QString taro = QStringLiteral("やまだ");
    QTest::newRow("comma in the injury") << taro << "ComboBox9" << "打撲,骨折" << commaIn("傷病名") << "";
    QTest::newRow("comma in the place") << taro << "ComboBox13" << "校庭,北側" << commaIn("場所別") << "";
    QTest::newRow("comma in the name") << taro << "Edit6" << "山田,太郎" << commaIn("氏名") << "";
    QTest::newRow("line break in the club") << taro << "ComboBox8" << "陸上\n競技" << commaIn("部名") << "";
    QTest::newRow("unstorable text in the body part") << taro << "ComboBox6" << "足首é" << unstorableIn("部位")
                                                      << "";
    QTest::newRow("unstorable text in the sex") << taro << "Edit10" << "é" << unstorableIn("性別") << "";
    QTest::newRow("unstorable text in the situation") << taro << "ComboBox7" << "한" << unstorableIn("場合別")
                                                      << "";
    QTest::newRow("no student in the run") << "" << "" << "" << kNoStudent << "";
    QTest::newRow("occurrence but no student") << "" << "" << "" << kNoStudent << "occurrence";
    QTest::newRow("student ID but no occurrence") << "" << "" << "" << kNoStudent << "id";
    QTest::newRow("student chosen in an earlier window") << "やまだ" << "" << "" << kNoStudent << "reopened";
    QTest::newRow("ID with a slash") << "すずき" << "" << "" << badId << "";
    QTest::newRow("empty ID") << "たなか" << "" << "" << badId << "";
}

// After "はい(&Y)" the window says why, writes nothing and stays open.
void EntryMessages::saveRefusesWhatTheFileCannotHold()
{
    QFETCH(QString, reading);
    QFETCH(QString, field);
    QFETCH(QString, text);
    QFETCH(QString, message);
    QFETCH(QString, setup);
    Session& s = *session;
    s.folder.makeFolder("seikyu");
    if (!reading.isEmpty())
        s.chooseStudent(reading, 0);
    if (setup == "id")
        s.state.CurrentStudentId = "1024";
    if (setup == "reopened")
        s.reopen();   // the student stays in memory, but this window has none
    if (setup == "occurrence")
        s.chooseOccurrence("2");
    s.boxes.clear();
    typeInto(s.window->ui->ComboBox2, "2010");
    if (!field.isEmpty()) {
        QWidget* w = s.window->findChild<QWidget*>(field);
        auto* list = qobject_cast<forms::ComboBox*>(w);
        QLineEdit* edit = list ? list->lineEdit() : qobject_cast<QLineEdit*>(w);
        typeInto(edit, QString());
        commitText(edit, text);
        QCOMPARE(edit->text(), text);
    }
    s.save(forms::Answer::Yes);

    QCOMPARE(s.shownBoxes(), QStringList({kQuestion, messageBox(message)}));
    QCOMPARE(s.folder.claimFiles(), QStringList());
    QVERIFY(s.window->isVisible());
    QCOMPARE(s.window->ui->ListBox1->count(), 13);
}

void EntryMessages::utf8RosterOfAReiwaYear_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");   // after the question
    QTest::newRow("name Shift-JIS holds") << u"川田　湊"_qs << kSaved;
    QTest::newRow("name beyond Shift-JIS") << u"川田😀"_qs << unstorableIn(u"氏名"_qs);
}

// A roster saved as "CSV UTF-8" under its 令和 name: the student is found by
// the reading, and the save refuses what a claim file cannot hold.
void EntryMessages::utf8RosterOfAReiwaYear()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QString, name);
    QFETCH(QString, message);
    Session& s = *session;
    s.folder.makeFolder("seikyu");
    const QString text = u"ID,3,2,1,氏名,ふりがな,保護者,中学,性別,学科,生年月日,住所\r\n"_qs +
                         u"08001,,,1-1,"_qs + name + u",かわだ　みなと,川田　一,北中,男,普通科,H22.5.6,東京都\r\n"_qs;
    s.folder.write(u"R08入学.CSV"_qs, "\xEF\xBB\xBF" + text.toUtf8());
    s.search(u"かわだ"_qs, {{choose(0)}}, u"令和8年度"_qs);
    QCOMPARE(s.window->ui->Edit6->text(), name);
    QCOMPARE(s.state.CurrentStudentId, QByteArray("08001"));
    s.boxes.clear();
    typeInto(s.window->ui->ComboBox2, "2026");
    s.save(forms::Answer::Yes);
    QCOMPARE(s.shownBoxes(), QStringList({kQuestion, messageBox(message)}));
}

void EntryMessages::failedSaveKeepsTheWindowAndTheOldFile_data()
{
    QTest::addColumn<bool>("readOnlyFile");   // else: no seikyu folder
    QTest::addColumn<QString>("error");
    QTest::addColumn<bool>("historyBlocked");  // a file named 履歴 where the history goes
    QTest::newRow("no seikyu folder") << false << "不正なﾌｧｲﾙ名です" << false;
    QTest::newRow("read-only claim file") << true << "ﾌｧｲﾙへのｱｸｾｽが拒否されました" << false;
    QTest::newRow("history cannot be kept")
        << false
        << u"履歴フォルダ %1 に前の内容を保存できないため（ﾌｧｲﾙへのｱｸｾｽが拒否されました）、保存を中止しました。"
           u"フォルダの空き容量と書き込み権限を確かめて下さい。"_qs
        << true;
}

// The error box, no "保存しました！", the window open with all it showed and
// the old file as it was; once the cause is gone the same save goes through.
void EntryMessages::failedSaveKeepsTheWindowAndTheOldFile()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(bool, readOnlyFile);
    QFETCH(QString, error);
    QFETCH(bool, historyBlocked);
    Session& s = *session;
    const QString claim = s.folder.file("seikyu/請1024-1.CSV");
    if (historyBlocked) {
        s.folder.makeFolder("seikyu");
        writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
        s.folder.write(u"履歴"_qs, "not a folder");
        error = error.arg(QDir::toNativeSeparators(s.folder.file("履歴/seikyu/請1024-1")));
    }
    if (readOnlyFile) {
        writeClaim(s.folder, "請1024-1.CSV", kFirst, 2010);
        QFile::setPermissions(claim, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
    }
    const QByteArray old = s.folder.read("seikyu/請1024-1.CSV");
    s.chooseStudent("やまだ", 0, readOnlyFile || historyBlocked ? 0 : -1);
    typeInto(s.window->ui->ComboBox2, "2012");
    typeInto(s.window->ui->ComboBox9, "捻挫");
    clickMonth(*s.window, 5);
    const QStringList lines = linesOf(s.window->ui->ListBox1);
    const QStringList header = headerTexts(*s.window);
    s.save(forms::Answer::Yes);

    QCOMPARE(s.shownBoxes(), QStringList({kQuestion, errorBox(error)}));
    QVERIFY(s.window->isVisible());
    QCOMPARE(linesOf(s.window->ui->ListBox1), lines);
    QCOMPARE(headerTexts(*s.window), header);
    QCOMPARE(s.window->ui->Edit15->text(), QStringLiteral("山田太郎"));
    QCOMPARE(s.folder.read("seikyu/請1024-1.CSV"), old);

    if (readOnlyFile)
        QFile::setPermissions(claim, QFile::ReadOwner | QFile::WriteOwner);
    else if (historyBlocked)
        QVERIFY(QFile::remove(s.folder.file("履歴")));
    else
        s.folder.makeFolder("seikyu");
    s.save(forms::Answer::Yes);
    QCOMPARE(s.shownBoxes().mid(2), QStringList({kQuestion, messageBox(kSaved)}));
    QVERIFY(!s.window->isVisible());
    QVERIFY(s.folder.read("seikyu/請1024-1.CSV").contains(rowBytes("2012", {5})));
}

KIBORU_GUI_TEST_MAIN(EntryMessages)
#include "tst_entry_messages.moc"
