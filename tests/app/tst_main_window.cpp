// The main window as laid out, the entry window it opens (modal, new each
// time) and the two ways of ending the program.

// Mouse clicks go through the window system, as a user's do, so that a
// modal window blocks them.
#define QTEST_QPA_MOUSE_HANDLING

#include "app/KiboruMain.h"
#include "app/StartUp.h"
#include "forms/MessageSeam.h"
#include "entry/SeiKyuImp.h"
#include "import/ImportWindow.h"
#include "status/StatusWindow.h"
#include "statswindow/StatsWindow.h"
#include "tests/entry/LayoutCheck.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestMain.h"

#include <QDate>
#include <QPointer>
#include <QScreen>
#include <QTimer>
#include <QWindow>

using layoutcheck::Control;
using layoutcheck::kGothic;
using layoutcheck::kMaru;
using layoutcheck::kMincho;

namespace {

const Control kControls[] = {
    {"StaticText1", "label", "Form1", {56, 32, 460, 41}, "Kiboru", 37, true, kMaru, "#008000", "#F0F0F0"},
    {"DateTimePicker1", "date", "Form1", {40, 96, 313, 41}, "", 32, false, kMaru, "#000000", ""},
    {"Button7", "button", "Form1", {112, 176, 121, 41}, "統計", 27, false, kMaru, "#000080", ""},
    {"Button1", "button", "Form1", {416, 176, 121, 41}, "給付入力", 27, false, kMaru, "#000080", ""},
    {"Button3", "button", "Form1", {416, 244, 121, 41}, "請求状況", 27, false, kMaru, "#000080", ""},
    {"Button5", "button", "Form1", {264, 244, 121, 41}, "履歴", 27, false, kMaru, "#000080", ""},
    {"Button4", "button", "Form1", {264, 176, 121, 41}, "名簿取込", 27, false, kMaru, "#000080", ""},
    {"Button6", "button", "Form1", {264, 312, 121, 41}, "バックアップ", 19, false, kMaru, "#000080", ""},
    {"Button2", "button", "Form1", {416, 312, 121, 41}, "終　　了", 27, false, kMincho, "#000000", ""},
    {"StaticText2", "label", "Form1", {88, 432, 418, 31}, "Ver 1.2", 27, true, kMaru, "#008080", "#F0F0F0"},
};

const QString kEndEntry = QStringLiteral(" 終 了 ");

} // namespace

class MainWindow : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void windowHasItsCaptionSizeAndPlace();
    void controlAsItsLayoutSays_data();
    void controlAsItsLayoutSays();
    void datePickerShowsToday();
    void tabWalksTheLayoutOrder_data();
    void tabWalksTheLayoutOrder();
    void endButtonAndCloseBoxEndTheProgram_data();
    void endButtonAndCloseBoxEndTheProgram();
    void entryButtonOpensTheEntryWindowModally();
    void reopenedEntryWindowStartsFromItsFixedLists();
    void statusButtonOpensTheListOnThePickersDate();
    void historyButtonOpensTheHistoryModally();
    void statsButtonOpensTheYearOfThePickersDate();
    void importButtonOpensTheImportWindowModally();
    void startUpShowsTheWindowAndRunsUntilItCloses();

private:
    entry::EntryState state;
    std::unique_ptr<TForm1> form;
};

void MainWindow::init()
{
    state = entry::EntryState();
    form = std::make_unique<TForm1>(state);
    form->SetToday();
    form->show();
    QApplication::setActiveWindow(form.get());
    QVERIFY(QTest::qWaitForWindowActive(form.get()));
}

void MainWindow::cleanup()
{
    form.reset();
}

void MainWindow::windowHasItsCaptionSizeAndPlace()
{
    QCOMPARE(form->objectName(), QStringLiteral("Form1"));
    QCOMPARE(form->windowTitle(), QStringLiteral("Kiboru"));
    QCOMPARE(form->size(), QSize(566, 496));   // 574 x 523 less the layout's frame
    const QPoint offCentre = form->frameGeometry().center() - form->screen()->availableGeometry().center();
    QVERIFY2(offCentre.manhattanLength() <= 20, qPrintable(QStringLiteral("%1,%2").arg(offCentre.x()).arg(offCentre.y())));
}

void MainWindow::controlAsItsLayoutSays_data()
{
    QTest::addColumn<int>("row");
    for (int i = 0; i < int(std::size(kControls)); ++i)
        QTest::newRow(kControls[i].name) << i;
}

void MainWindow::controlAsItsLayoutSays()
{
    QFETCH(int, row);
    const Control& c = kControls[row];
    const QWidget* w = form->findChild<QWidget*>(QLatin1String(c.name));
    QVERIFY2(w, "missing");
    QString problem = layoutcheck::placeMismatch(w, c);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
    problem = layoutcheck::lookMismatch(w, c);
    QVERIFY2(problem.isEmpty(), qPrintable(problem));
}

void MainWindow::datePickerShowsToday()
{
    QCOMPARE(form->ui->DateTimePicker1->date(), QDate::currentDate());
    QCOMPARE(form->ui->DateTimePicker1->toolTip(), QStringLiteral("入力日を設定します"));
}

// The date picker is one stop: Tab does not step through its day, month and year.
void MainWindow::tabWalksTheLayoutOrder_data()
{
    QTest::addColumn<bool>("forward");
    QTest::addColumn<QStringList>("visited");
    QTest::newRow("Tab") << true << QStringList{"Button3", "Button5", "Button4", "Button6", "Button2", "DateTimePicker1", "Button7", "Button1"};
    QTest::newRow("Shift+Tab") << false << QStringList{"Button7", "DateTimePicker1", "Button2", "Button6", "Button4", "Button5", "Button3", "Button1"};
}

void MainWindow::tabWalksTheLayoutOrder()
{
    QFETCH(bool, forward);
    QFETCH(QStringList, visited);
    form->ui->Button1->setFocus();
    QCOMPARE(layoutcheck::focusedControl(), QStringLiteral("Button1"));
    QCOMPARE(layoutcheck::tabWalk(int(visited.size()), forward), visited);
}

void MainWindow::endButtonAndCloseBoxEndTheProgram_data()
{
    QTest::addColumn<bool>("byButton");
    QTest::newRow("終　　了") << true;
    QTest::newRow("close box") << false;
}

// The program's loop ends by itself, as it does when the main window closes.
void MainWindow::endButtonAndCloseBoxEndTheProgram()
{
    QFETCH(bool, byButton);
    QTimer::singleShot(0, form.get(), [&] {
        if (byButton)
            QTest::mouseClick(form->ui->Button2, Qt::LeftButton);
        else
            form->close();
    });
    QTimer giveUp;   // the loop did not end
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    giveUp.start(3000);
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(!form->isVisible());
}

// While the entry window is open, the main window takes no clicks.
void MainWindow::entryButtonOpensTheEntryWindowModally()
{
    QPointer<TForm2> entryWindow;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        entryWindow = qobject_cast<TForm2*>(modal);
        layoutcheck::closeIfStuck(modal, stuck);
        QTest::mouseClick(form->ui->Button2, Qt::LeftButton);   // blocked
        testsupport::ClickButton(modal, kEndEntry);
    });
    QTest::mouseClick(form->ui->Button1, Qt::LeftButton);

    QVERIFY(!stuck);
    QVERIFY(form->isVisible());
    QVERIFY(entryWindow.isNull());   // ended and deleted
}

void MainWindow::reopenedEntryWindowStartsFromItsFixedLists()
{
    QPointer<TForm2> first;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        first = qobject_cast<TForm2*>(modal);
        layoutcheck::closeIfStuck(modal, stuck);
        first->ui->ComboBox6->addItemText(QStringLiteral("左足首"));
        first->ui->ComboBox9->setSelectedIndex(2);
        first->ui->Edit1->setText(QStringLiteral("やまだ"));
        testsupport::ClickButton(modal, kEndEntry);
    });
    QTest::mouseClick(form->ui->Button1, Qt::LeftButton);
    QVERIFY(!first.isNull() || !stuck);

    int bodyParts = -1;
    int injurySelected = 0;
    QString searchText = QStringLiteral("(not opened)");
    testsupport::WhenModal([&](QWidget* modal) {
        auto* second = qobject_cast<TForm2*>(modal);
        layoutcheck::closeIfStuck(modal, stuck);
        bodyParts = second->ui->ComboBox6->count();
        injurySelected = second->ui->ComboBox9->selectedIndex();
        searchText = second->ui->Edit1->text();
        testsupport::ClickButton(modal, kEndEntry);
    });
    QTest::mouseClick(form->ui->Button1, Qt::LeftButton);

    QVERIFY(!stuck);
    QCOMPARE(bodyParts, 27);
    QCOMPARE(injurySelected, -1);
    QCOMPARE(searchText, QString());
}

// The list looks ahead or back from the date in the picker.
void MainWindow::statusButtonOpensTheListOnThePickersDate()
{
    form->ui->DateTimePicker1->setDate(QDate(2027, 3, 31));
    QString shownDate;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        auto* list = qobject_cast<status::StatusWindow*>(modal);
        layoutcheck::closeIfStuck(modal, stuck);
        shownDate = list ? list->ui->StatusDate->text() : modal->objectName();
        testsupport::ClickButton(modal, QStringLiteral("閉じる"));
    });
    QTest::mouseClick(form->ui->Button3, Qt::LeftButton);
    QVERIFY(!stuck);
    QCOMPARE(shownDate, QStringLiteral("基準日　2027年3月31日"));
}

void MainWindow::historyButtonOpensTheHistoryModally()
{
    QString opened;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        layoutcheck::closeIfStuck(modal, stuck);
        opened = modal->objectName() + u' ' + modal->windowTitle();
        testsupport::ClickButton(modal, QStringLiteral("閉じる"));
    });
    QTest::mouseClick(form->ui->Button5, Qt::LeftButton);
    QVERIFY(!stuck);
    QCOMPARE(opened, QStringLiteral("HistoryWindow 履歴"));
}

// 2027/3/31 is still in 2026年度.
void MainWindow::statsButtonOpensTheYearOfThePickersDate()
{
    form->ui->DateTimePicker1->setDate(QDate(2027, 3, 31));
    QList<int> span;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        layoutcheck::closeIfStuck(modal, stuck);
        if (auto* stats = qobject_cast<statswindow::StatsWindow*>(modal))
            span = {stats->ui->StatsFrom->currentData().toInt(), stats->ui->StatsTo->currentData().toInt()};
        testsupport::ClickButton(modal, QStringLiteral("閉じる"));
    });
    QTest::mouseClick(form->ui->Button7, Qt::LeftButton);
    QVERIFY(!stuck);
    QCOMPARE(span, (QList<int>{2026, 2026}));
}

void MainWindow::importButtonOpensTheImportWindowModally()
{
    QString title;
    bool stuck = false;
    testsupport::WhenModal([&](QWidget* modal) {
        layoutcheck::closeIfStuck(modal, stuck);
        title = qobject_cast<rosterimport::ImportWindow*>(modal) ? modal->windowTitle() : modal->objectName();
        testsupport::ClickButton(modal, QStringLiteral("閉じる"));
    });
    QTest::mouseClick(form->ui->Button4, Qt::LeftButton);
    QVERIFY(!stuck);
    QCOMPARE(title, QStringLiteral("名簿取込"));
}

// Start-up shows the main window and runs until it is closed, with no box
// on the way and exit code 0.
void MainWindow::startUpShowsTheWindowAndRunsUntilItCloses()
{
    form.reset();
    // The fixture's window, the last one shown, closed with it; where that
    // asked the application to quit (as seen on Windows), the request
    // must not end the run below before it starts.
    QCoreApplication::removePostedEvents(qApp, QEvent::Quit);
    TForm1 window(state);
    forms::MessageSeam seam;
    bool wasExposed = false;
    QTimer closeWhenUp;
    connect(&closeWhenUp, &QTimer::timeout, &window, [&] {
        if (window.windowHandle() && window.windowHandle()->isExposed()) {
            wasExposed = true;
            closeWhenUp.stop();
            window.close();
        }
    });
    closeWhenUp.start(20);
    QTimer giveUp;
    connect(&giveUp, &QTimer::timeout, qApp, [] { QCoreApplication::exit(99); });
    giveUp.start(3000);

    QCOMPARE(app::Run(*static_cast<forms::Application*>(qApp), window), 0);
    QVERIFY(wasExposed);
    QVERIFY(!window.isVisible());
    QCOMPARE(seam.shownTexts(), QStringList());
}

KIBORU_GUI_TEST_MAIN(MainWindow)
#include "tst_main_window.moc"
