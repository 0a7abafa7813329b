// The roster import through its controls: path, 読込, entry year, 保存; the
// roster written byte for byte, then found by its hiragana reading in the
// real entry window. Names are from the shared name list.

#include "files/ShiftJis.h"
#include "rosters/EntryYears.h"
#include "import/ImportWindow.h"
#include "tests/entry/EntryDriver.h"
#include "tests/support/TestMain.h"

#include <QComboBox>
#include <QDir>
#include <QStringEncoder>

using namespace entrytest;
using rosterimport::ImportWindow;

namespace {

const QString kExport = QStringLiteral(
    "生徒番号,学年,クラス,生徒氏名,フリガナ,性別,生年月日,保護者氏名,出身校,学科,住所\r\n"
    "21001,1,1年2組,佐藤 愛斗,サトウ アイト,男,2008/04/02,佐藤 一郎,北中学校,普通科,\"徳島県鳴門市撫養町1-2\"\r\n"
    "21002,1,1年3組,高橋 葵,ﾀｶﾊｼ ｱｵｲ,女,平成20年5月3日,高橋 次郎,南中学校,普通科,徳島県徳島市2-3\r\n"
    "21003,1,1年1組,渡辺 大悟,ワタナベ　ダイゴ,男,2008/6/4,渡辺 三郎,東中学校,理数科,徳島県阿南市3-4\r\n");

const QString kRosterText = QStringLiteral(
    "ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所\r\n"
    "21001,,,1-2,佐藤　愛斗,さとう　あいと,佐藤　一郎,北中学校,男,普通科,H20.4.2,徳島県鳴門市撫養町1-2\r\n"
    "21002,,,1-3,高橋　葵,たかはし　あおい,高橋　次郎,南中学校,女,普通科,H20.5.3,徳島県徳島市2-3\r\n"
    "21003,,,1-1,渡辺　大悟,わたなべ　だいご,渡辺　三郎,東中学校,男,理数科,H20.6.4,徳島県阿南市3-4\r\n");

QByteArray Utf16Tabs(QString text)
{
    text.replace(u',', u'\t');
    QStringEncoder encoder(QStringConverter::Utf16LE);
    return "\xFF\xFE" + QByteArray(encoder(text));
}

QStringList PreviewLines(const ImportWindow& window)
{
    return window.ui->ImportPreview->toPlainText().split(u'\n');
}

} // namespace

class ImportWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void importedStudentsAreFoundByTheirReading_data();
    void importedStudentsAreFoundByTheirReading();
    void anExistingRosterIsReplacedOnlyWhenTheUserSays_data();
    void anExistingRosterIsReplacedOnlyWhenTheUserSays();
    void linesWithProblemsAreLeftOutOnlyWhenAsked_data();
    void linesWithProblemsAreLeftOutOnlyWhenAsked();
    void yearsAndFileNamesAreTheEntryWindows();
    void refusalsNameWhatIsMissing_data();
    void refusalsNameWhatIsMissing();

private:
    void load(const QByteArray& exported, const QString& entryYear = kEntryYear);
    void saveAnswering(const QList<forms::Answer>& answers);

    std::unique_ptr<Session> session;
    std::unique_ptr<ImportWindow> window;
};

void ImportWindowTest::init()
{
    session = std::make_unique<Session>();
    window = std::make_unique<ImportWindow>(session->folder.path(), kOpeningDay);
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
}

void ImportWindowTest::cleanup()
{
    window.reset();
    session.reset();
}

void ImportWindowTest::load(const QByteArray& exported, const QString& entryYear)
{
    session->folder.write(QStringLiteral("書出し.csv"), exported);
    typeInto(window->ui->ImportPath, QStringLiteral("書出し.csv"));
    QTest::mouseClick(window->ui->ImportLoad, Qt::LeftButton);
    window->ui->ImportYear->setCurrentIndex(window->ui->ImportYear->findText(entryYear));
}

void ImportWindowTest::saveAnswering(const QList<forms::Answer>& answers)
{
    for (forms::Answer answer : answers)
        session->boxes.queueAnswer(answer);
    QTest::mouseClick(window->ui->ImportSave, Qt::LeftButton);
    QCOMPARE(session->boxes.pendingAnswers(), 0);
}

void ImportWindowTest::importedStudentsAreFoundByTheirReading_data()
{
    QTest::addColumn<QByteArray>("exported");
    QTest::addColumn<QString>("reading");
    QTest::addColumn<QString>("name");
    QTest::newRow("UTF-8 with mark, katakana") << "\xEF\xBB\xBF" + kExport.toUtf8() << "さとう" << "佐藤　愛斗";
    QTest::newRow("Shift-JIS, half-width") << sjis(kExport) << "たかはし　あおい" << "高橋　葵";
    QTest::newRow("Excel Unicode text") << Utf16Tabs(kExport) << "わたなべ" << "渡辺　大悟";
}

void ImportWindowTest::importedStudentsAreFoundByTheirReading()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QByteArray, exported);
    QFETCH(QString, reading);
    QFETCH(QString, name);
    load(exported);
    QCOMPARE(window->ui->ImportProblems->count(), 0);
    QCOMPARE(PreviewLines(*window), kRosterText.trimmed().split(QStringLiteral("\r\n")));
    saveAnswering({});
    QCOMPARE(session->folder.read(kRoster), sjis(kRosterText));
    QCOMPARE(session->boxes.shownTexts(), QStringList{"H20入学.CSV に3人を保存しました！"});

    session->boxes.clear();
    session->search(reading, {{choose(0)}});
    QVERIFY(!session->dialogs.stuck());
    QCOMPARE(session->dialogs.unanswered(), 0);
    QCOMPARE(session->boxes.shownTexts(), QStringList());
    QCOMPARE(session->window->ui->Edit6->text(), name);
}

// The question names the file; the history of the old roster is the save's
// own. Claim files stay as they are. A roster that another PC writes while
// the user is asked is asked about again.
void ImportWindowTest::anExistingRosterIsReplacedOnlyWhenTheUserSays_data()
{
    QTest::addColumn<QList<forms::Answer>>("answers");
    QTest::addColumn<bool>("changedWhileAsked");
    QTest::addColumn<bool>("replaced");
    using forms::Answer;
    QTest::newRow("いいえ") << QList<Answer>{Answer::No} << false << false;
    QTest::newRow("はい") << QList<Answer>{Answer::Yes} << false << true;
    QTest::newRow("changed while asked, then はい") << QList<Answer>{Answer::Yes, Answer::Yes} << true << true;
    QTest::newRow("changed while asked, then いいえ") << QList<Answer>{Answer::Yes, Answer::No} << true << false;
}

void ImportWindowTest::anExistingRosterIsReplacedOnlyWhenTheUserSays()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QList<forms::Answer>, answers);
    QFETCH(bool, changedWhileAsked);
    QFETCH(bool, replaced);
    writeRoster(session->folder);
    const QByteArray original = session->folder.read(kRoster);
    writeClaim(session->folder, QStringLiteral("請1024-1.CSV"), {}, 2008);
    const QByteArray claim = session->folder.read(QStringLiteral("seikyu/請1024-1.CSV"));
    const QByteArray other = sjis(QStringLiteral("written meanwhile\r\n"));
    bool first = true;
    session->boxes.setOnShow([&](const forms::ShownBox&) {
        if (changedWhileAsked && std::exchange(first, false))
            session->folder.write(kRoster, other);
    });
    load(sjis(kExport));
    saveAnswering(answers);

    const QString question = QStringLiteral("H20入学.CSV は既にあります。置き換えますか？");
    QCOMPARE(session->boxes.shown().first().text, question);
    QCOMPARE(session->boxes.shown().first().buttons, (QStringList{"はい(&Y)", "いいえ(&N)"}));
    QCOMPARE(session->boxes.shown().size(), int(answers.size()) + (replaced ? 1 : 0));
    if (changedWhileAsked)   // the one question every save asks after a change elsewhere
        QCOMPARE(session->boxes.shown().at(1).text,
                 QStringLiteral("H20入学.CSV\nこの名簿は読み込んだ後に他のパソコンで変更されています。上書きしますか？"));
    const QByteArray kept = changedWhileAsked ? other : original;
    QCOMPARE(session->folder.read(kRoster), replaced ? sjis(kRosterText) : kept);
    QCOMPARE(session->folder.read(QStringLiteral("seikyu/請1024-1.CSV")), claim);
    // The roster it replaced is kept in the history, byte for byte.
    const QDir history(session->folder.file(QStringLiteral("履歴/名簿/H20入学.CSV")));
    const QStringList versions = history.entryList(QDir::Files);
    QCOMPARE(versions.size(), replaced ? 1 : 0);
    if (replaced)
        QCOMPARE(session->folder.read(QStringLiteral("履歴/名簿/H20入学.CSV/") + versions.first()), kept);
}

void ImportWindowTest::linesWithProblemsAreLeftOutOnlyWhenAsked_data()
{
    QTest::addColumn<forms::Answer>("answer");
    QTest::newRow("いいえ") << forms::Answer::No;
    QTest::newRow("はい") << forms::Answer::Yes;
}

void ImportWindowTest::linesWithProblemsAreLeftOutOnlyWhenAsked()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(forms::Answer, answer);
    load((kExport + QStringLiteral("21004,1,1年1組,林 碧,,男,2008/7/5,林 四郎,西中学校,普通科,\"徳島県,阿南市\"\r\n")).toUtf8());
    QStringList problems;
    for (int i = 0; i < window->ui->ImportProblems->count(); ++i)
        problems << window->ui->ImportProblems->item(i)->text();
    QCOMPARE(problems, (QStringList{"5行目: 「住所」にカンマがあります", "5行目: ふりがながありません"}));
    saveAnswering({answer});
    QCOMPARE(session->boxes.shown().first().text, QStringLiteral("問題のある1行を除いて保存しますか？"));
    QCOMPARE(session->folder.read(kRoster), answer == forms::Answer::Yes ? sjis(kRosterText) : QByteArray("(missing)"));
}

// The entry years are the entry window's own; the file name follows its rule.
// A guess can be changed, and the preview shows at most 20 students.
void ImportWindowTest::yearsAndFileNamesAreTheEntryWindows()
{
    QStringList years;
    for (int i = 0; i < window->ui->ImportYear->count(); ++i)
        years << window->ui->ImportYear->itemText(i);
    QCOMPARE(years, itemsOf(session->window->ui->ComboBox1));
    QCOMPARE(window->ui->ImportYear->currentText(), QStringLiteral("令和8年度"));
    QCOMPARE(window->ui->ImportFileName->text(), QStringLiteral("→ R08入学.CSV"));

    QString many = QStringLiteral("番号,氏名,よみ\r\n");
    for (int i = 0; i < 25; ++i)
        many += QStringLiteral("%1,佐藤 碧,さとう あお\r\n").arg(30001 + i);
    load(many.toUtf8(), QStringLiteral("令和元年度"));
    QCOMPARE(window->ui->ImportFileName->text(), QStringLiteral("→ R01入学.CSV"));
    QCOMPARE(PreviewLines(*window).size(), 21);
    window->ColumnBox(5)->setCurrentIndex(0);   // ふりがな: none
    QCOMPARE(PreviewLines(*window).size(), 1);
    QCOMPARE(window->ui->ImportProblems->count(), 25);
}

void ImportWindowTest::refusalsNameWhatIsMissing_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QByteArray>("bytes");   // written at that path first, unless empty
    QTest::addColumn<QString>("message");
    QTest::newRow("no path") << "" << QByteArray() << "取り込むファイルを指定して下さい！！";
    QTest::newRow("no such file") << "ない.csv" << QByteArray() << "ﾌｧｲﾙ ない.csv は開けません";
    QTest::newRow("empty file") << "空.csv" << QByteArray("\xEF\xBB\xBF\r\n") << "ﾌｧｲﾙ 空.csv に読み込める行がありません！！";
    QTest::newRow("only problems") << "問題.csv" << QByteArray("ID,Name\r\n1,Sato\r\n")
                                   << "保存できる生徒がいません！！";
}

// Nothing is written after any of them, and 保存 says why.
void ImportWindowTest::refusalsNameWhatIsMissing()
{
    QFETCH(QString, path);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, message);
    if (!bytes.isEmpty())
        session->folder.write(path, bytes);
    typeInto(window->ui->ImportPath, path);
    QTest::mouseClick(window->ui->ImportLoad, Qt::LeftButton);
    QTest::mouseClick(window->ui->ImportSave, Qt::LeftButton);
    const bool loaded = message == u"保存できる生徒がいません！！";
    QCOMPARE(session->boxes.shownTexts(),
             loaded ? QStringList{message} : QStringList({message, "取り込むファイルを読み込んで下さい！！"}));
    QCOMPARE(session->folder.read(QStringLiteral("R08入学.CSV")), QByteArray("(missing)"));
}

KIBORU_GUI_TEST_MAIN(ImportWindowTest)
#include "tst_import_window.moc"
