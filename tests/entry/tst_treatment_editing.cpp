// Editing the treatment table in the entry window: the injury year builds
// thirteen rows, a line or the year box picks the row, the month buttons
// mark and unmark months; and nothing happens while the list does not show
// the thirteen rows.
#include "entry/SeiKyuImp.h"
#include "tests/entry/EntryDriver.h"
#include "tests/support/TestMain.h"

using namespace entrytest;

namespace {

const QString kTooLate = QStringLiteral("最長年数は１３年です！！");
const QString kTooEarly = QStringLiteral("受傷年度より前の年度には入力できません！！");

enum class RowBy { Nothing, Line, Key, YearBox };

} // namespace

Q_DECLARE_METATYPE(RowBy)

class TreatmentEditing : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void rowChoiceStaysWithinThirteenYears_data();
    void rowChoiceStaysWithinThirteenYears();
    void monthButtonTogglesOnlyWhenItBecomesSelected();
    void newInjuryYearDropsTheMarks();
    void loadedLinesCountFromTheInjuryYear_data();
    void loadedLinesCountFromTheInjuryYear();
    void nothingChangesWhileTheListIsOutOfStep_data();
    void nothingChangesWhileTheListIsOutOfStep();

private:
    std::unique_ptr<Session> session;
};

void TreatmentEditing::init()
{
    session = std::make_unique<Session>();
}

void TreatmentEditing::cleanup()
{
    QVERIFY(!session->dialogs.stuck());
    session.reset();
}

// A row is chosen from the injury year's table (after line 4, row 5, was
// clicked), then October is marked: the row changed tells which row the
// choice made current.
void TreatmentEditing::rowChoiceStaysWithinThirteenYears_data()
{
    QTest::addColumn<QString>("injuryYear");
    QTest::addColumn<RowBy>("by");
    QTest::addColumn<QString>("choice");   // a year typed into the year box, or a line number
    QTest::addColumn<QString>("message");
    QTest::addColumn<int>("row");
    QTest::addColumn<QString>("yearBox");
    QTest::newRow("13th year") << "2010" << RowBy::YearBox << "2022" << "" << 13 << "2022";
    QTest::newRow("14th year") << "2010" << RowBy::YearBox << "2023" << kTooLate << 5 << "2023";
    QTest::newRow("year before") << "2010" << RowBy::YearBox << "2009" << kTooEarly << 5 << "2009";
    QTest::newRow("injury year itself") << "2010" << RowBy::YearBox << "2010" << "" << 1 << "2010";
    QTest::newRow("13th year of 2018") << "2018" << RowBy::YearBox << "2030" << "" << 13 << "2030";
    QTest::newRow("first year entry") << "2008" << RowBy::YearBox << "2008" << "" << 1 << "2008";
    QTest::newRow("typed text that is no year") << "2010" << RowBy::YearBox << "201" << "" << 5 << "201";
    QTest::newRow("line of the 13th year") << "2010" << RowBy::Line << "12" << "" << 13 << "2022";
    QTest::newRow("line of 2030") << "2018" << RowBy::Line << "12" << "" << 13 << "2030";
    QTest::newRow("line of 2037") << "2025" << RowBy::Line << "12" << "" << 13 << "2037";
    QTest::newRow("line past the last year entry") << "2030" << RowBy::Line << "12" << "" << 13 << "";
    QTest::newRow("13th year of 2026") << "2026" << RowBy::YearBox << "2038" << "" << 13 << "2038";
    QTest::newRow("14th year of 2026") << "2026" << RowBy::YearBox << "2039" << kTooLate << 5 << "2039";
    QTest::newRow("first line") << "2030" << RowBy::Line << "0" << "" << 1 << "2030";
    QTest::newRow("second line of 2030") << "2030" << RowBy::Line << "1" << "" << 2 << "2031";
    QTest::newRow("second line past the last") << "2039" << RowBy::Line << "1" << "" << 2 << "";
    QTest::newRow("Down key on the list") << "2010" << RowBy::Key << "" << "" << 6 << "2015";
    QTest::newRow("no choice") << "2010" << RowBy::Nothing << "" << "" << 5 << "2014";
}

void TreatmentEditing::rowChoiceStaysWithinThirteenYears()
{
    QFETCH(QString, injuryYear);
    QFETCH(RowBy, by);
    QFETCH(QString, choice);
    QFETCH(QString, message);
    QFETCH(int, row);
    QFETCH(QString, yearBox);
    TForm2& w = *session->window;
    typeInto(w.ui->ComboBox2, injuryYear);
    clickLine(w.ui->ListBox1, 4);
    QCOMPARE(session->state.CurrentRow, 5);
    if (by == RowBy::YearBox)
        typeInto(w.ui->ComboBox10, choice);
    else if (by == RowBy::Line)
        clickLine(w.ui->ListBox1, choice.toInt());
    else if (by == RowBy::Key)
        QTest::keyClick(w.ui->ListBox1, Qt::Key_Down);

    QCOMPARE(session->shownBoxes(), message.isEmpty() ? QStringList() : QStringList{messageBox(message)});
    QCOMPARE(session->state.CurrentRow, row);
    QCOMPARE(w.ui->ListBox1->selectedIndex(), row - 1);
    QCOMPARE(w.ui->ComboBox10->text(), yearBox);
    clickMonth(w, 7);
    QCOMPARE(linesOf(w.ui->ListBox1), listLines(injuryYear.toInt(), {{row, {7}}}));
    QCOMPARE(session->state.TreatmentTable.row(row).mark(7), QByteArray("\x81\x9D"));
}

// A button toggles its month when it becomes the selected one; a click on
// the selected button does nothing.
void TreatmentEditing::monthButtonTogglesOnlyWhenItBecomesSelected()
{
    TForm2& w = *session->window;
    typeInto(w.ui->ComboBox2, "2010");
    const QList<std::pair<int, QList<int>>> steps = {
        {1, {1}}, {1, {1}}, {3, {1, 3}}, {2, {1, 2, 3}}, {1, {2, 3}}, {12, {2, 3, 12}}};
    for (const auto& [month, treated] : steps) {
        clickMonth(w, month);
        QCOMPARE(w.ui->ListBox1->line(0), listLine("2010", treated));
    }
    QCOMPARE(linesOf(w.ui->ListBox1).mid(1), listLines(2010).mid(1));
    clickLine(w.ui->ListBox1, 12);
    clickMonth(w, 3);
    QCOMPARE(w.ui->ListBox1->line(12), listLine("2022", {3}));
}

void TreatmentEditing::newInjuryYearDropsTheMarks()
{
    TForm2& w = *session->window;
    typeInto(w.ui->ComboBox2, "2010");
    clickMonth(w, 1);
    QCOMPARE(w.ui->ListBox1->line(0),
             QStringLiteral("2010年,◎,４月,－,５月,－,６月,－,７月,－,８月,－,９月,－,10月,－,11月,－,12月,"
                            "－,１月,－,２月,－,３月"));
    clickLine(w.ui->ListBox1, 6);
    clickMonth(w, 2);
    typeInto(w.ui->ComboBox2, "2015");
    QCOMPARE(linesOf(w.ui->ListBox1), listLines(2015));
    QCOMPARE(w.ui->ListBox1->selectedIndex(), 0);
    QCOMPARE(w.ui->ComboBox10->text(), QStringLiteral("2015"));
    QCOMPARE(session->state.CurrentRow, 1);
    clickMonth(w, 3);
    QCOMPARE(w.ui->ListBox1->line(0), listLine("2015", {3}));
}

void TreatmentEditing::loadedLinesCountFromTheInjuryYear_data()
{
    QTest::addColumn<QString>("injuryYear");
    QTest::addColumn<QString>("yearBoxOnLine2");
    QTest::addColumn<int>("rowAfter2012");
    QTest::newRow("injury year among the entries") << "2010" << "2011" << 3;
    QTest::newRow("injury year that is no entry") << "1999" << "" << 2;
}

// A loaded claim whose first two rows hold the years 1999 and 2100: the
// list counts its years from the injury year, but row 1's line and a line
// whose row is changed show the row's own year. With an injury year that is
// none of the year entries the year box picks no row.
void TreatmentEditing::loadedLinesCountFromTheInjuryYear()
{
    QFETCH(QString, injuryYear);
    QFETCH(QString, yearBoxOnLine2);
    QFETCH(int, rowAfter2012);
    Session& s = *session;
    writeRoster(s.folder);
    QList<QByteArray> rows = tableRows(injuryYear.toInt());
    rows[0] = rowBytes("1999", {1});
    rows[1] = rowBytes("2100");
    const QStringList header = {injuryYear, "4", "1", "月", "未", "打撲", "頭部", "授業中", "弓道", "校舎内その他"};
    s.folder.makeFolder("seikyu");
    s.folder.write("seikyu/請1024-1.CSV", claimBytes("請1024-1,山田太郎,男", header, rows));
    s.chooseStudent("やまだ", 0, 0);

    TForm2& w = *s.window;
    QCOMPARE(w.ui->ComboBox2->text(), injuryYear);
    QStringList lines = listLines(injuryYear.toInt());
    lines[0] = listLine("1999", {1});
    QCOMPARE(linesOf(w.ui->ListBox1), lines);
    clickLine(w.ui->ListBox1, 1);
    QCOMPARE(w.ui->ComboBox10->text(), yearBoxOnLine2);
    clickMonth(w, 4);
    lines[1] = listLine("2100", {4});
    QCOMPARE(linesOf(w.ui->ListBox1), lines);
    typeInto(w.ui->ComboBox10, "2012");
    QCOMPARE(s.state.CurrentRow, rowAfter2012);
    QCOMPARE(w.ui->ListBox1->selectedIndex(), rowAfter2012 - 1);
    QCOMPARE(s.shownBoxes(), QStringList());
}

// With no thirteen rows on screen the year box and the month buttons change
// no row and show no message.
void TreatmentEditing::nothingChangesWhileTheListIsOutOfStep_data()
{
    QTest::addColumn<QString>("state");
    QTest::newRow("no injury year yet") << "fresh";
    QTest::newRow("claim area emptied") << "emptied";
    QTest::newRow("window reopened") << "reopened";
}

void TreatmentEditing::nothingChangesWhileTheListIsOutOfStep()
{
    QFETCH(QString, state);
    Session& s = *session;
    if (state != "fresh") {
        typeInto(s.window->ui->ComboBox2, "2010");
        clickLine(s.window->ui->ListBox1, 4);
    }
    if (state == "emptied")
        s.chooseOccurrence("2");   // no student, so no claim of that number
    if (state == "reopened")
        s.reopen();
    s.boxes.clear();
    const claims::TTreatmentTable before = s.state.TreatmentTable;
    const int row = s.state.CurrentRow;

    TForm2& w = *s.window;
    typeInto(w.ui->ComboBox10, "2030");
    typeInto(w.ui->ComboBox10, "2005");
    clickMonth(w, 4);
    clickMonth(w, 5);
    w.RefreshTreatmentLine(1);
    QVERIFY(s.state.TreatmentTable == before);
    QCOMPARE(s.state.CurrentRow, row);
    QCOMPARE(w.ui->ListBox1->count(), 0);
    QCOMPARE(s.shownBoxes(), QStringList());
}

KIBORU_GUI_TEST_MAIN(TreatmentEditing)
#include "tst_treatment_editing.moc"
