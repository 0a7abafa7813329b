// Every window on the office's screens, one screen size per run
// ("-screen WxH"): each window's frame within the usable area, every control
// of the entry window reachable and clickable, the focus followed into view;
// where the entry window fits, it stands exactly as laid out.

#include "app/KiboruMain.h"
#include "entry/SeiKyuImp.h"
#include "entry/SelectSeito.h"
#include "entry/Tkaisuu.h"
#include "status/MonthDialog.h"
#include "status/LedgerWindow.h"
#include "status/StatusWindow.h"
#include "statswindow/StatsWindow.h"
#include "tests/entry/LayoutCheck.h"
#include "tests/support/TestMain.h"

#include <QLineEdit>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QWindow>

#include <functional>

namespace {

const QDate kToday(2026, 12, 8);
const int kTabStops = 45;

// The fixed layout is 914 x 686; the offscreen frame adds a few pixels.
bool EntryWindowFits(const QRect& area)
{
    return area.width() >= 930 && area.height() >= 700;
}

QRect OnScreen(const QWidget* w)
{
    return QRect(w->mapToGlobal(QPoint(0, 0)), w->size());
}

} // namespace

class ScreenFit : public QObject {
    Q_OBJECT

private slots:
    void cleanup();

    void windowLiesWithinTheArea_data();
    void windowLiesWithinTheArea();
    void entryControlsKeepTheirLayout_data();
    void entryControlsKeepTheirLayout();
    void everyEntryControlScrollsIntoViewAndTakesAClick();
    void tabAndClickBringTheFocusIntoView();
    void treatmentLineWithEveryMonthIsShownWhole();

private:
    void showEntryWindow(bool madeSmaller = false);
    QRect View() const { return OnScreen(scrollArea ? scrollArea->viewport() : entryWindow.get()); }

    QTemporaryDir workDir;
    entry::EntryState state;
    std::unique_ptr<TForm2> entryWindow;
    QScrollArea* scrollArea = nullptr;
};

void ScreenFit::cleanup()
{
    entryWindow.reset();
    state = entry::EntryState();
}

// madeSmaller: as Windows does with a window created larger than the screen,
// the native window is made smaller, then the widget, before it shows.
void ScreenFit::showEntryWindow(bool madeSmaller)
{
    entryWindow = std::make_unique<TForm2>(state, nullptr, kToday);
    if (madeSmaller) {
        entryWindow->winId();
        QResizeEvent resized(QSize(600, 400), entryWindow->size());
        QApplication::sendEvent(entryWindow->windowHandle(), &resized);
        entryWindow->resize(600, 400);
    }
    entryWindow->show();
    QApplication::setActiveWindow(entryWindow.get());
    QVERIFY(QTest::qWaitForWindowActive(entryWindow.get()));
    scrollArea = entryWindow->findChild<QScrollArea*>();
}

void ScreenFit::windowLiesWithinTheArea_data()
{
    using Make = std::function<QWidget*()>;
    QTest::addColumn<Make>("make");
    const QString dir = workDir.path();
    entry::EntryState* s = &state;
    QTest::newRow("main window") << Make([s] { return new TForm1(*s); });
    QTest::newRow("entry window") << Make([s] { return new TForm2(*s, nullptr, kToday); });
    QTest::newRow("student choice") << Make([] { return new TForm3; });
    QTest::newRow("claim file choice") << Make([] { return new TForm4; });
    QTest::newRow("deadline list") << Make([dir] { return new status::StatusWindow(dir, kToday); });
    QTest::newRow("ledger") << Make([dir] { return new status::LedgerWindow(dir, {}, kToday); });
    QTest::newRow("statistics") << Make([dir] { return new statswindow::StatsWindow(dir, nullptr, kToday); });
    QTest::newRow("month dialog") << Make([dir] { return new status::MonthDialog(dir, claims::ClaimOverview()); });
}

void ScreenFit::windowLiesWithinTheArea()
{
    QFETCH(std::function<QWidget*()>, make);
    std::unique_ptr<QWidget> window(make());
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    const QRect area = window->screen()->availableGeometry();
    const QRect frame = window->frameGeometry();
    const QString shown = QStringLiteral("frame %1,%2 %3x%4").arg(frame.x()).arg(frame.y()).arg(frame.width()).arg(frame.height());
    QVERIFY2(area.contains(frame), qPrintable(shown));
}

void ScreenFit::entryControlsKeepTheirLayout_data()
{
    QTest::addColumn<bool>("madeSmaller");
    QTest::newRow("as laid out") << false;
    QTest::newRow("made smaller before it shows") << true;
}

// Inside the scroll area or not, every control keeps its parent's name and
// its place in it: the same as in a window that was never shown.
void ScreenFit::entryControlsKeepTheirLayout()
{
    QFETCH(bool, madeSmaller);
    const bool fits = EntryWindowFits(QGuiApplication::primaryScreen()->availableGeometry());
    if (madeSmaller && fits)
        QSKIP("a screen larger than the layout makes no window smaller");
    showEntryWindow(madeSmaller);
    QCOMPARE(scrollArea == nullptr, fits);
    QCOMPARE(fits ? entryWindow->size() : scrollArea->widget()->size(), QSize(914, 686));
    TForm2 laidOut(state, nullptr, kToday);
    for (const QWidget* design : laidOut.findChildren<QWidget*>()) {
        const QString name = design->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")))
            continue;
        const auto* shown = entryWindow->findChild<QWidget*>(name);
        QVERIFY2(shown && shown->geometry() == design->geometry(), qPrintable(name));
        QCOMPARE(shown->parentWidget()->objectName(), design->parentWidget()->objectName());
    }
}

void ScreenFit::everyEntryControlScrollsIntoViewAndTakesAClick()
{
    showEntryWindow();
    const QRect screenArea = entryWindow->screen()->availableGeometry();
    for (QWidget* control : entryWindow->findChildren<QWidget*>()) {
        const QString name = control->objectName();
        if (name.isEmpty() || name.startsWith(QLatin1String("qt_")) || !control->isVisibleTo(entryWindow.get())
            || control->isWindow() || name == entryWindow->objectName())
            continue;
        if (scrollArea)
            scrollArea->ensureWidgetVisible(control, 0, 0);
        const QPoint centre = control->mapToGlobal(control->rect().center());
        QVERIFY2(screenArea.contains(centre) && View().contains(centre), qPrintable(name));
        QWidget* hit = entryWindow->childAt(entryWindow->mapFromGlobal(centre));
        QVERIFY2(hit == control || control->isAncestorOf(hit), qPrintable(name));
        if (qobject_cast<QLineEdit*>(control)) {
            QTest::mouseClick(control, Qt::LeftButton);
            QVERIFY2(control->hasFocus(), qPrintable(name));
        }
    }
}

// Tab walks the whole tab order and every control it reaches is in view;
// a click on a list half scrolled out of sight brings the whole list in.
void ScreenFit::tabAndClickBringTheFocusIntoView()
{
    showEntryWindow();
    entryWindow->ui->ComboBox1->setFocus();
    for (int i = 0; i < kTabStops; ++i) {
        const QString name = layoutcheck::tabWalk(1).constFirst();
        const QWidget* control = entryWindow->findChild<QWidget*>(name);
        QVERIFY2(control && View().contains(OnScreen(control)), qPrintable(name));
    }
    if (!scrollArea)
        return;
    forms::ListBox* list = entryWindow->ui->ListBox1;
    entryWindow->ui->ComboBox1->setFocus();
    const QRect view = View();
    QScrollBar* bar = scrollArea->verticalScrollBar();
    bar->setValue(bar->value() + OnScreen(list).top() - (view.bottom() - 30));   // 30 pixels of it in view
    if (OnScreen(list).top() != view.bottom() - 30)
        return;   // the area scrolls too little to hide most of the list
    const QPoint inView = list->viewport()->mapFromGlobal(QPoint(view.left() + 200, view.bottom() - 10));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, inView);
    QVERIFY(list->hasFocus());
    QTRY_VERIFY(View().contains(OnScreen(list)));
}

void ScreenFit::treatmentLineWithEveryMonthIsShownWhole()
{
    showEntryWindow();
    entryWindow->ui->ComboBox2->setSelectedIndex(20);
    entryWindow->ComboBox2Change();
    for (int month = 1; month <= 12; ++month)
        claims::ToggleMark(state.TreatmentTable.row(3), month);
    entryWindow->FillTreatmentList();
    forms::ListBox* list = entryWindow->ui->ListBox1;
    const QString line = list->line(2);
    QCOMPARE(line.count(QChar(0x25CE)), 12);   // ◎
    const int wanted = list->fontMetrics().horizontalAdvance(line);
    QScrollBar* bar = list->horizontalScrollBar();
    bar->setValue(bar->maximum());
    const QRect shown = list->visualRect(list->model()->index(2, 0));
    QVERIFY2(shown.width() >= wanted, qPrintable(QStringLiteral("%1 of %2 pixels").arg(shown.width()).arg(wanted)));
    QVERIFY(shown.right() < list->viewport()->width());   // its end scrolls into view
    QCOMPARE(list->textElideMode(), Qt::ElideNone);
}

KIBORU_GUI_TEST_MAIN(ScreenFit)
#include "tst_screen_fit.moc"
