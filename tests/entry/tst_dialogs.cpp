// The student selection dialog and the occurrence-file dialog as laid out,
// and their life: run modally, ended, deleted.
#include "entry/SelectSeito.h"
#include "entry/Tkaisuu.h"
#include "forms/Modal.h"
#include "tests/entry/LayoutCheck.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMain.h"

#include <QFile>
#include <QPointer>

using layoutcheck::Control;
using layoutcheck::kGothic;
using layoutcheck::kMaru;
using layoutcheck::kMincho;

namespace {

const Control kStudentDialog[] = {
    {"StaticText1", "label", "Form3", {48, 16, 276, 31}, " 給付対象生徒の選択 ", 27, true, kMaru, "#008000", ""},
    {"BitBtn1", "button", "Form3", {376, 16, 81, 33}, "選択決定", 16, true, kGothic, "#000080", ""},
    {"BitBtn2", "button", "Form3", {496, 16, 81, 33}, "終　了", 19, true, kMincho, "#000000", ""},
    {"ListBox2", "list", "Form3", {16, 72, 593, 185}, "", 16, false, kGothic, "#000080", ""},
    {"ListBox1", "list", "Form3", {16, 56, 593, 9}, "", 16, false, kGothic, "", ""},
};

const Control kOccurrenceDialog[] = {
    {"StaticText1", "label", "Form4", {8, 16, 172, 25}, " 受傷回数別選択 ", 21, true, kGothic, "", ""},
    {"BitBtn1", "button", "Form4", {192, 16, 73, 33}, "決　定", 19, true, kGothic, "#0000FF", ""},
    {"ListBox1", "list", "Form4", {16, 56, 241, 193}, "", 21, false, kGothic, "", ""},
};

enum Dialog { StudentDialog, OccurrenceDialog };

std::unique_ptr<QDialog> makeDialog(Dialog which)
{
    if (which == StudentDialog)
        return std::make_unique<TForm3>();
    // The occurrence dialog ends only with a file chosen.
    auto dialog = std::make_unique<TForm4>();
    dialog->FillList({QStringLiteral("請1024-1.CSV")});
    dialog->ui->ListBox1->setSelectedIndex(0);
    return dialog;
}

const Control& layoutControl(Dialog which, int row)
{
    return which == StudentDialog ? kStudentDialog[row] : kOccurrenceDialog[row];
}

} // namespace

Q_DECLARE_METATYPE(Dialog)

class DialogLayouts : public QObject {
    Q_OBJECT

private slots:
    void dialogHasItsCaptionSizeAndPlace_data();
    void dialogHasItsCaptionSizeAndPlace();
    void controlAsItsLayoutSays_data();
    void controlAsItsLayoutSays();
    void studentDialogKeepsTheRosterInAHiddenList();
    void listLinesHaveTheirHeight();
    void studentRowsReadAsTheirDecodedLines_data();
    void studentRowsReadAsTheirDecodedLines();
    void dialogEndsItsLoopAndIsDeleted_data();
    void dialogEndsItsLoopAndIsDeleted();
};

void DialogLayouts::dialogHasItsCaptionSizeAndPlace_data()
{
    QTest::addColumn<Dialog>("which");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QPoint>("place");
    // Client sizes: the layouts' outer sizes less the frame (8 wide, 27 high).
    QTest::newRow("student") << StudentDialog << "Form3" << "生徒選択" << QSize(625, 276) << QPoint(475, 313);
    QTest::newRow("occurrence") << OccurrenceDialog << "Form4" << "ファイル選択" << QSize(282, 270)
                                << QPoint(185, 312);
}

void DialogLayouts::dialogHasItsCaptionSizeAndPlace()
{
    QFETCH(Dialog, which);
    QFETCH(QString, name);
    QFETCH(QString, caption);
    QFETCH(QSize, size);
    QFETCH(QPoint, place);
    const auto dialog = makeDialog(which);
    dialog->show();
    QCOMPARE(dialog->objectName(), name);
    QCOMPARE(dialog->windowTitle(), caption);
    QCOMPARE(dialog->size(), size);
    QCOMPARE(dialog->pos(), place);
}

void DialogLayouts::controlAsItsLayoutSays_data()
{
    QTest::addColumn<Dialog>("which");
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kStudentDialog)); ++i)
        QTest::addRow("student %s", kStudentDialog[i].name) << StudentDialog << i;
    for (int i = 0; i < int(std::size(kOccurrenceDialog)); ++i)
        QTest::addRow("occurrence %s", kOccurrenceDialog[i].name) << OccurrenceDialog << i;
}

void DialogLayouts::controlAsItsLayoutSays()
{
    QFETCH(Dialog, which);
    QFETCH(int, row);
    const auto dialog = makeDialog(which);
    dialog->show();
    const Control& c = layoutControl(which, row);
    const QWidget* w = dialog->findChild<QWidget*>(QLatin1String(c.name));
    QVERIFY2(w, "missing");
    w->ensurePolished();
    QString problem = layoutcheck::placeMismatch(w, c);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    problem = layoutcheck::lookMismatch(w, c);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void DialogLayouts::studentDialogKeepsTheRosterInAHiddenList()
{
    TForm3 dialog;
    dialog.show();
    QVERIFY(!dialog.ui->ListBox1->isVisible());
    QVERIFY(dialog.ui->ListBox2->isVisible());
}

void DialogLayouts::listLinesHaveTheirHeight()
{
    TForm3 students;
    TForm4 occurrences;
    QCOMPARE(students.ui->ListBox1->lineHeight(), 16);
    QCOMPARE(students.ui->ListBox2->lineHeight(), 16);
    QCOMPARE(occurrences.ui->ListBox1->lineHeight(), 21);
}

void DialogLayouts::studentRowsReadAsTheirDecodedLines_data()
{
    QTest::addColumn<QByteArray>("roster");
    QTest::addColumn<QString>("firstRow");
    QTest::addColumn<bool>("madeAhead");   // readied while the office types, as 検索 takes it
    const QByteArray shiftJis("h\r\n1,\x82\xA0\x80\r\n2,\xFF,\x81\r\n3,\x81\x20x");
    const QByteArray utf8("\xEF\xBB\xBFh\n1,\xE3\x81\x82\xC0\n2,\xE3\x81\n3,\x82\xA0");
    const QString firstRow = QStringLiteral("1,あ\uFFFD");
    QTest::newRow("Shift-JIS, bytes of no character") << shiftJis << firstRow << false;
    QTest::newRow("UTF-8, bytes of no character") << utf8 << firstRow << false;
    QTest::newRow("Shift-JIS, dialog made ahead") << shiftJis << firstRow << true;
}

// Rows are made when first needed: read from the end or from the start,
// each reads as its line decoded whole, bytes of no character as U+FFFD;
// also in a dialog readied ahead with sample rows.
void DialogLayouts::studentRowsReadAsTheirDecodedLines()
{
    QFETCH(QByteArray, roster);
    QFETCH(QString, firstRow);
    QFETCH(bool, madeAhead);
    testsupport::TestFolder dir;
    const QString path = dir.filePath("R01.CSV");
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(roster) == roster.size());
    file.close();
    const claims::Result<claims::FoundLines> found = claims::FindRosterLinesInFile(path, ",");
    QVERIFY(found);
    QCOMPARE(found->size(), 3);
    TForm3 dialog;
    if (madeAhead) {
        dialog.Prepare();
        QCOMPARE(dialog.ui->ListBox2->count(), 0);   // drawn with sample rows, which do not stay
    }
    dialog.SetStudentLines(*found);
    dialog.show();
    const forms::ListBox* rows = dialog.ui->ListBox2;
    QCOMPARE(rows->count(), 3);
    const QString last = claims::RosterText(found->at(2), found->encoding());
    QCOMPARE(rows->model()->index(2, 0).data().toString(), last);
    QCOMPARE(rows->line(0), firstRow);
    for (int i = 0; i < 3; ++i)
        QCOMPARE(rows->line(i), claims::RosterText(found->at(i), found->encoding()));
}

// Each use runs the dialog's real modal loop; the window is gone after it.
void DialogLayouts::dialogEndsItsLoopAndIsDeleted_data()
{
    QTest::addColumn<Dialog>("which");
    QTest::addColumn<QString>("endButton");   // empty: the close box
    QTest::newRow("student, end button") << StudentDialog << "終　了";
    QTest::newRow("student, close box") << StudentDialog << "";
    QTest::newRow("occurrence, close box") << OccurrenceDialog << "";
}

void DialogLayouts::dialogEndsItsLoopAndIsDeleted()
{
    QFETCH(Dialog, which);
    QFETCH(QString, endButton);
    auto dialog = makeDialog(which);
    QPointer<QDialog> alive(dialog.get());
    bool wasModal = false;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        wasModal = modal == alive;
        layoutcheck::closeIfStuck(modal, stuck);
        if (endButton.isEmpty())
            modal->close();
        else
            testsupport::ClickButton(modal, endButton);
    });
    forms::RunModal(std::move(dialog));
    QVERIFY(wasModal);
    QVERIFY(!stuck);
    QVERIFY(alive.isNull());
}

KIBORU_GUI_TEST_MAIN(DialogLayouts)
#include "tst_dialogs.moc"
