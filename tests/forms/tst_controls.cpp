// The controls notify on user input only, never when code changes them.
#include "forms/ComboBox.h"
#include "forms/Fonts.h"
#include "forms/InputMode.h"
#include "forms/ListBox.h"
#include "forms/RadioGroup.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestMain.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QInputMethodEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalSpy>
#include <QStyledItemDelegate>
#include <QTest>

namespace {

const QStringList kItems = {QStringLiteral("打撲"), QStringLiteral("捻挫"), QStringLiteral("骨折")};

enum class ComboUser { MouseChoice, Down, WheelDown, PageDown, Type, InputMethod, Backspace };
enum class ComboCode { Select, SetText, Clear, Delete, Write, Add };
enum class Fill { UiStyle, AddItems, AddItemText };
enum class ListUser { Click, CtrlClick, ClickBelow };
enum class RadioUser { Click, Right, Space, CodeCheck, CodeClick };

// A shown, active window holding the control under test.
struct Window {
    QWidget widget;
    Window() { widget.resize(400, 300); }
    bool show()
    {
        widget.show();
        widget.activateWindow();
        return QTest::qWaitForWindowActive(&widget);
    }
};

void chooseByMouse(forms::ComboBox* box, int row)
{
    box->showPopup();
    QAbstractItemView* view = box->view();
    QVERIFY(QTest::qWaitForWindowExposed(view->window()));
    QTest::qWait(QApplication::doubleClickInterval() + 50);   // the popup ignores early releases
    const QPoint point = view->visualRect(view->model()->index(row, 0)).center();
    QTest::mouseMove(view->viewport(), point);
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, point);
    QTRY_VERIFY(!view->isVisible());
}

void wheelDown(QWidget* widget)
{
    const QPointF pos(widget->width() / 2.0, widget->height() / 2.0);
    QWheelEvent event(pos, widget->mapToGlobal(pos), {}, QPoint(0, -120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

// What an input method sends when the user confirms a conversion.
void commitInput(QWidget* widget, const QString& text)
{
    QInputMethodEvent event;
    event.setCommitString(text);
    QApplication::sendEvent(widget, &event);
}

void actOnCombo(forms::ComboBox* box, ComboUser action)
{
    switch (action) {
    case ComboUser::MouseChoice: return chooseByMouse(box, 2);
    case ComboUser::Down: return QTest::keyClick(box, Qt::Key_Down);
    case ComboUser::WheelDown: return wheelDown(box);
    case ComboUser::PageDown: return QTest::keyClick(box, Qt::Key_PageDown);
    case ComboUser::Type: return testsupport::TypeText(box, QStringLiteral("x"));
    case ComboUser::InputMethod: return commitInput(box, QStringLiteral("頭部"));
    case ComboUser::Backspace: return QTest::keyClick(box, Qt::Key_Backspace);
    }
}

void actOnCombo(forms::ComboBox* box, ComboCode op, int index, const QString& text)
{
    switch (op) {
    case ComboCode::Select: return box->setSelectedIndex(index);
    case ComboCode::SetText: return box->setText(text);
    case ComboCode::Clear: return box->clearSelection();
    case ComboCode::Delete: return box->deleteItem(index);
    case ComboCode::Write: return box->writeItem(index, text);
    case ComboCode::Add: return box->addItemText(text);
    }
}

QStringList itemsOf(const forms::ComboBox* box)
{
    QStringList items;
    for (int i = 0; i < box->count(); ++i)
        items.append(box->itemText(i));
    return items;
}

void fill(forms::ComboBox* box, Fill how)
{
    switch (how) {
    case Fill::UiStyle:   // what uic generates: empty items, texts set afterwards
        for (int i = 0; i < kItems.size(); ++i)
            box->addItem(QString());
        for (int i = 0; i < kItems.size(); ++i)
            box->setItemText(i, kItems[i]);
        return;
    case Fill::AddItems: return box->addItems(kItems);
    case Fill::AddItemText:
        for (const QString& item : kItems)
            box->addItemText(item);
        return;
    }
}

QList<int> emittedIndexes(const QSignalSpy& spy)
{
    QList<int> indexes;
    for (const QList<QVariant>& args : spy)
        indexes.append(args.at(0).toInt());
    return indexes;
}

} // namespace

class ControlsTest : public QObject {
    Q_OBJECT
private slots:
    void comboBoxStartsEmptyAfterFilling_data();
    void comboBoxStartsEmptyAfterFilling();
    void comboBoxUserInputNotifies_data();
    void comboBoxUserInputNotifies();
    void comboBoxCodeNeverNotifies_data();
    void comboBoxCodeNeverNotifies();
    void comboBoxTypedItemTextIsNotMatched();

    void listBoxMouseNotifies_data();
    void listBoxMouseNotifies();
    void listBoxKeyboardNotifies_data();
    void listBoxKeyboardNotifies();
    void listBoxCodeNeverNotifies();
    void listBoxLineHeight_data();
    void listBoxLineHeight();
    void listBoxLoadsLongListFast();
    void listBoxMakesLinesWhenAsked_data();
    void listBoxMakesLinesWhenAsked();
    void listBoxDrawsLinesAsQtDoes_data();
    void listBoxDrawsLinesAsQtDoes();

    void radioGroupNotifiesWhenUserSelects_data();
    void radioGroupNotifiesWhenUserSelects();

    void radioGroupTabStopIsTheSelectedButtonOnly();
    void hiraganaModeIsCarriedByChosenControlsOnly();
    void comboBoxWaitsForItsLayoutBeforeReadingItsStyle();
    void styleSheetFontsUseInstalledFamilies_data();
    void styleSheetFontsUseInstalledFamilies();
};

void ControlsTest::comboBoxStartsEmptyAfterFilling_data()
{
    QTest::addColumn<Fill>("how");
    QTest::addColumn<QString>("textBefore");
    QTest::newRow("as a .ui file fills it") << Fill::UiStyle << QString();
    QTest::newRow("addItems") << Fill::AddItems << QString();
    QTest::newRow("item by item") << Fill::AddItemText << QString();
    QTest::newRow("typed text survives filling") << Fill::UiStyle << QStringLiteral("頭部");
}

void ControlsTest::comboBoxStartsEmptyAfterFilling()
{
    QFETCH(Fill, how);
    QFETCH(QString, textBefore);
    forms::ComboBox box;
    QSignalSpy changed(&box, &forms::ComboBox::changed);
    box.setText(textBefore);
    fill(&box, how);

    QCOMPARE(itemsOf(&box), kItems);   // in the given order, not sorted
    QCOMPARE(box.selectedIndex(), -1);
    QCOMPARE(box.selectedText(), QString());
    QCOMPARE(box.text(), textBefore);
    QCOMPARE(box.maxVisibleItems(), 8);
    QCOMPARE(changed.count(), 0);
}

void ControlsTest::comboBoxUserInputNotifies_data()
{
    QTest::addColumn<ComboUser>("action");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("text");
    QTest::newRow("mouse choice") << ComboUser::MouseChoice << -1 << 2 << kItems[2];
    QTest::newRow("mouse choice of the selected item") << ComboUser::MouseChoice << 2 << 2 << kItems[2];
    QTest::newRow("down arrow from none") << ComboUser::Down << -1 << 0 << kItems[0];
    QTest::newRow("down arrow") << ComboUser::Down << 0 << 1 << kItems[1];
    QTest::newRow("wheel") << ComboUser::WheelDown << 0 << 1 << kItems[1];
    QTest::newRow("page down") << ComboUser::PageDown << 0 << 1 << kItems[1];
    QTest::newRow("typing after a choice") << ComboUser::Type << 1 << -1 << kItems[1] + "x";
    QTest::newRow("input method") << ComboUser::InputMethod << 0 << -1 << kItems[0] + QStringLiteral("頭部");
    QTest::newRow("backspace") << ComboUser::Backspace << 1 << -1 << QStringLiteral("捻");
}

void ControlsTest::comboBoxUserInputNotifies()
{
    QFETCH(ComboUser, action);
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QString, text);
    Window window;
    auto* box = new forms::ComboBox(&window.widget);
    fill(box, Fill::AddItemText);
    box->setSelectedIndex(before);
    QVERIFY(window.show());
    box->setFocus();
    QSignalSpy changed(box, &forms::ComboBox::changed);

    actOnCombo(box, action);

    QCOMPARE(changed.count(), 1);
    QCOMPARE(box->selectedIndex(), after);
    QCOMPARE(box->text(), text);
    QCOMPARE(box->selectedText(), after >= 0 ? kItems[after] : QString());
    QCOMPARE(itemsOf(box), kItems);   // typing never inserts an item
}

void ControlsTest::comboBoxCodeNeverNotifies_data()
{
    QTest::addColumn<ComboCode>("op");
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("argument");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("items");
    const QString none;
    const QStringList all = kItems;
    QTest::newRow("select") << ComboCode::Select << 2 << none << -1 << 2 << kItems[2] << all;
    QTest::newRow("select past the end") << ComboCode::Select << 3 << none << 1 << -1 << none << all;
    QTest::newRow("set text") << ComboCode::SetText << 0 << QStringLiteral("頭部") << 1 << -1
                              << QStringLiteral("頭部") << all;
    QTest::newRow("clear selection") << ComboCode::Clear << 0 << none << 1 << -1 << none << all;
    QTest::newRow("delete the selected item") << ComboCode::Delete << 1 << none << 1 << -1 << none
                                              << QStringList{kItems[0], kItems[2]};
    QTest::newRow("delete an item above the selected") << ComboCode::Delete << 0 << none << 2 << 1
                                                       << kItems[2] << QStringList{kItems[1], kItems[2]};
    QTest::newRow("delete past the end") << ComboCode::Delete << 3 << none << 1 << 1 << kItems[1] << all;
    QTest::newRow("write the selected item") << ComboCode::Write << 1 << QStringLiteral("靱帯損傷") << 1 << 1
                                             << QStringLiteral("靱帯損傷")
                                             << QStringList{kItems[0], QStringLiteral("靱帯損傷"), kItems[2]};
    QTest::newRow("write past the end") << ComboCode::Write << 3 << QStringLiteral("眼科") << 1 << 1
                                        << kItems[1] << all;
    QTest::newRow("add an item") << ComboCode::Add << 0 << QStringLiteral("打撲") << -1 << -1 << none
                                 << all + QStringList{QStringLiteral("打撲")};
}

void ControlsTest::comboBoxCodeNeverNotifies()
{
    QFETCH(ComboCode, op);
    QFETCH(int, index);
    QFETCH(QString, argument);
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(QString, text);
    QFETCH(QStringList, items);
    Window window;
    auto* box = new forms::ComboBox(&window.widget);
    fill(box, Fill::AddItemText);
    box->setSelectedIndex(before);
    QVERIFY(window.show());
    box->setFocus();
    QSignalSpy changed(box, &forms::ComboBox::changed);

    actOnCombo(box, op, index, argument);

    QCOMPARE(changed.count(), 0);
    QCOMPARE(box->selectedIndex(), after);
    QCOMPARE(box->text(), text);
    QCOMPARE(itemsOf(box), items);
}

void ControlsTest::comboBoxTypedItemTextIsNotMatched()
{
    Window window;
    auto* box = new forms::ComboBox(&window.widget);
    auto* other = new QLineEdit(&window.widget);
    other->move(0, 100);
    fill(box, Fill::UiStyle);
    QVERIFY(window.show());
    box->setFocus();
    QSignalSpy changed(box, &forms::ComboBox::changed);

    testsupport::TypeText(box, kItems[2]);
    QTest::keyClick(box, Qt::Key_Return);
    other->setFocus();   // leaving the box must not match either

    QCOMPARE(changed.count(), kItems[2].size());   // one per typed character
    QCOMPARE(box->selectedIndex(), -1);
    QCOMPARE(box->selectedText(), QString());
    QCOMPARE(box->text(), kItems[2]);
    QCOMPARE(itemsOf(box), kItems);
}

void ControlsTest::listBoxMouseNotifies_data()
{
    QTest::addColumn<ListUser>("action");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("clicks");
    QTest::newRow("click a line") << ListUser::Click << -1 << 2 << 2 << 1;
    QTest::newRow("click the selected line") << ListUser::Click << 2 << 2 << 2 << 1;
    QTest::newRow("ctrl+click keeps the selection") << ListUser::CtrlClick << 2 << 2 << 2 << 1;
    QTest::newRow("click below the lines") << ListUser::ClickBelow << 1 << -1 << 1 << 0;
}

void ControlsTest::listBoxMouseNotifies()
{
    QFETCH(ListUser, action);
    QFETCH(int, before);
    QFETCH(int, row);
    QFETCH(int, after);
    QFETCH(int, clicks);
    Window window;
    auto* list = new forms::ListBox(&window.widget);
    list->resize(300, 200);
    list->setLineHeight(19);
    list->setLines({"2010年", "2011年", "2012年", "2013年"});
    list->setSelectedIndex(before);
    QVERIFY(window.show());
    QSignalSpy clicked(list, &forms::ListBox::clicked);

    const QPoint point = action == ListUser::ClickBelow
                             ? QPoint(10, 4 * 19 + 30)
                             : list->visualRect(list->model()->index(row, 0)).center();
    const auto modifiers = action == ListUser::CtrlClick ? Qt::ControlModifier : Qt::NoModifier;
    QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, point);

    QCOMPARE(clicked.count(), clicks);
    QCOMPARE(list->selectedIndex(), after);
}

void ControlsTest::listBoxKeyboardNotifies_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("after");
    QTest::addColumn<int>("clicks");
    QTest::newRow("down") << int(Qt::Key_Down) << 0 << 1 << 1;
    QTest::newRow("home") << int(Qt::Key_Home) << 7 << 0 << 1;
    QTest::newRow("end") << int(Qt::Key_End) << 0 << 12 << 1;
    QTest::newRow("page down") << int(Qt::Key_PageDown) << 0 << 4 << 1;
    QTest::newRow("up at the top") << int(Qt::Key_Up) << 0 << 0 << 0;
    QTest::newRow("down at the bottom") << int(Qt::Key_Down) << 12 << 12 << 0;
}

void ControlsTest::listBoxKeyboardNotifies()
{
    QFETCH(int, key);
    QFETCH(int, before);
    QFETCH(int, after);
    QFETCH(int, clicks);
    Window window;
    auto* list = new forms::ListBox(&window.widget);
    list->setLineHeight(19);
    list->resize(300, 5 * 19 + 2 * list->frameWidth());   // five lines to a page
    for (int year = 2010; year <= 2022; ++year)
        list->addLine(QString::number(year) + QStringLiteral("年"));
    list->setSelectedIndex(before);
    QVERIFY(window.show());
    list->setFocus();
    QSignalSpy clicked(list, &forms::ListBox::clicked);

    QTest::keyClick(list, Qt::Key(key));

    QCOMPARE(list->selectedIndex(), after);
    QCOMPARE(clicked.count(), clicks);
}

void ControlsTest::listBoxCodeNeverNotifies()
{
    Window window;
    auto* list = new forms::ListBox(&window.widget);
    QVERIFY(window.show());
    QSignalSpy clicked(list, &forms::ListBox::clicked);

    list->setLines({"a", "b", "c"});
    list->addLine("d");
    list->setSelectedIndex(2);
    QCOMPARE(list->selectedIndex(), 2);
    list->replaceLine(2, "C");
    list->replaceLine(4, "x");    // no such line
    list->replaceLine(-1, "x");
    QCOMPARE(list->selectedIndex(), 2);   // replacing keeps the selection
    QCOMPARE(list->count(), 4);
    QCOMPARE(list->line(2), QStringLiteral("C"));
    QCOMPARE(list->line(4), QString());
    list->setSelectedIndex(9);
    QCOMPARE(list->selectedIndex(), -1);
    list->setSelectedIndex(1);
    list->setSelectedIndex(-1);
    QCOMPARE(list->selectedIndex(), -1);
    list->setSelectedIndex(3);
    list->clear();
    QCOMPARE(list->count(), 0);
    QCOMPARE(list->selectedIndex(), -1);

    QCOMPARE(clicked.count(), 0);
}

void ControlsTest::listBoxLineHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::newRow("19") << 19;
    QTest::newRow("21") << 21;
    QTest::newRow("16") << 16;
}

void ControlsTest::listBoxLineHeight()
{
    QFETCH(int, height);
    Window window;
    auto* list = new forms::ListBox(&window.widget);
    list->setStyleSheet(QStringLiteral("font: 19px \"ＭＳ Ｐゴシック\"; color: #000080;"));
    list->setLines({"a", "b", "c"});
    list->setProperty("lineHeight", height);   // as a .ui file sets it
    QVERIFY(window.show());

    QCOMPARE(list->visualRect(list->model()->index(0, 0)).height(), height);
    QCOMPARE(list->visualRect(list->model()->index(2, 0)).top(),
             list->visualRect(list->model()->index(0, 0)).top() + 2 * height);
}

void ControlsTest::listBoxLoadsLongListFast()
{
    QStringList lines;
    for (int i = 0; i < 125000; ++i)
        lines.append(QStringLiteral("%1,ｱｲｳｴｵ,山田太郎,やまだたろう").arg(i));
    Window window;
    auto* list = new forms::ListBox(&window.widget);
    list->resize(300, 200);
    QVERIFY(window.show());

    QElapsedTimer clock;
    clock.start();
    list->setLines(lines);
    list->setSelectedIndex(124999);
    QCoreApplication::processEvents();
    QVERIFY2(clock.elapsed() < 2000, qPrintable(QString::number(clock.elapsed()) + " ms"));
    QCOMPARE(list->count(), 125000);
    QCOMPARE(list->line(124999), lines.last());
}

void ControlsTest::listBoxMakesLinesWhenAsked_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QString>("added");    // a line added after the function, if any
    QTest::addColumn<int>("readFirst");    // a line read before the rest is done, or -1
    QTest::addColumn<int>("replaced");     // the line then replaced by "R", or -1
    QTest::addColumn<QList<int>>("read");
    QTest::addColumn<QStringList>("texts");
    QTest::addColumn<QList<int>>("made");  // the lines the function was asked for
    QTest::newRow("read once, made once") << 100000 << QString() << -1 << -1 << QList<int>{99999, 0, 99999}
                                          << QStringList{"L99999", "L0", "L99999"} << QList<int>{99999, 0};
    QTest::newRow("none") << 0 << QString() << -1 << -1 << QList<int>{0} << QStringList{""} << QList<int>{};
    QTest::newRow("outside the list") << 3 << QString() << -1 << -1 << QList<int>{3, -1} << QStringList{"", ""}
                                      << QList<int>{};
    QTest::newRow("added after them") << 3 << QStringLiteral("new") << -1 << -1 << QList<int>{3, 2}
                                      << QStringList{"new", "L2"} << QList<int>{2};
    QTest::newRow("replaced before made") << 3 << QString() << -1 << 1 << QList<int>{1, 0}
                                          << QStringList{"R", "L0"} << QList<int>{0};
    QTest::newRow("replaced after made") << 3 << QString() << 1 << 1 << QList<int>{1} << QStringList{"R"}
                                         << QList<int>{};
}

// Lines from a function are made when first read, through the list or its
// model, and only then; lines added or replaced stand as given.
void ControlsTest::listBoxMakesLinesWhenAsked()
{
    QFETCH(int, count);
    QFETCH(QString, added);
    QFETCH(int, readFirst);
    QFETCH(int, replaced);
    QFETCH(QList<int>, read);
    QFETCH(QStringList, texts);
    QFETCH(QList<int>, made);
    forms::ListBox list;
    QList<int> asked;
    list.setLines(count, [&asked](int i) {
        asked.append(i);
        return QStringLiteral("L%1").arg(i);
    });
    if (readFirst >= 0)
        QCOMPARE(list.line(readFirst), QStringLiteral("L%1").arg(readFirst));
    asked.clear();
    if (!added.isEmpty())
        list.addLine(added);
    if (replaced >= 0)
        list.replaceLine(replaced, QStringLiteral("R"));
    QCOMPARE(list.count(), count + (added.isEmpty() ? 0 : 1));
    QCOMPARE(list.model()->rowCount(), list.count());
    for (int k = 0; k < read.size(); ++k) {
        QCOMPARE(list.line(read[k]), texts[k]);
        QCOMPARE(list.model()->index(read[k], 0).data().toString(), texts[k]);
    }
    QCOMPARE(asked, made);

    list.setLines({"a"});   // plain lines again: the function is asked no more
    QCOMPARE(list.count(), 1);
    QCOMPARE(list.line(0), QStringLiteral("a"));
    QCOMPARE(asked, made);
}

void ControlsTest::listBoxDrawsLinesAsQtDoes_data()
{
    const QString student = QStringLiteral("01101,3-1,2-1,1-1,札幌　太郎,さっぽろ　たろう,札幌　花子,ｻｯﾎﾟﾛｼ,普通科,H12.4.1,北海道札幌市中央区");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("selected");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<bool>("focus");
    QTest::addColumn<QString>("styleSheet");
    QTest::newRow("short lines") << QStringList{"2010年,◎,４月", "ab", ""} << -1 << true << false << QString();
    QTest::newRow("lines cut with …") << QStringList{student, student + student, "ｱｲｳ"} << -1 << true << false
                                     << QString();
    QTest::newRow("a selected line") << QStringList{student, "x", "y"} << 1 << true << false << QString();
    QTest::newRow("disabled") << QStringList{student, "x"} << 0 << false << false << QString();
    QTest::newRow("with the focus frame") << QStringList{student, "x"} << 1 << true << true << QString();
    QTest::newRow("the dialog's font") << QStringList{student, student + student} << 0 << true << false
                                       << QStringLiteral("QWidget { font: 12px \"ＭＳ Ｐゴシック\"; }");
}

// The lines are drawn from text shaped once and kept; the pixels must be
// those of Qt's own item drawing, also when the same lines are drawn again
// and when the list narrows.
void ControlsTest::listBoxDrawsLinesAsQtDoes()
{
    QFETCH(QStringList, lines);
    QFETCH(int, selected);
    QFETCH(bool, enabled);
    QFETCH(bool, focus);
    QFETCH(QString, styleSheet);
    Window window;
    window.widget.setStyleSheet(styleSheet);
    forms::ListBox* lists[2] = {new forms::ListBox(&window.widget), new forms::ListBox(&window.widget)};
    lists[1]->setItemDelegate(new QStyledItemDelegate(lists[1]));
    for (forms::ListBox* list : lists) {
        list->resize(260, 90);
        list->setLines(lines);
        list->setSelectedIndex(selected);
        list->setEnabled(enabled);
        list->setFocusPolicy(focus ? Qt::StrongFocus : Qt::NoFocus);
    }
    lists[1]->move(0, 100);
    QVERIFY(window.show());
    QImage drawn[2];
    // The second pass draws from kept text; the third, narrower, may not.
    for (int pass = 0; pass < 3; ++pass) {
        for (int i = 0; i < 2; ++i) {
            if (pass == 2)
                lists[i]->resize(200, 90);
            if (focus)
                lists[i]->setFocus();
            drawn[i] = lists[i]->grab().toImage();
        }
        QCOMPARE(drawn[0], drawn[1]);
    }
}

void ControlsTest::radioGroupNotifiesWhenUserSelects_data()
{
    QTest::addColumn<RadioUser>("action");
    QTest::addColumn<int>("before");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("after");
    QTest::addColumn<QList<int>>("emitted");
    QTest::newRow("click an unselected button") << RadioUser::Click << -1 << 3 << 3 << QList<int>{3};
    QTest::newRow("click the selected button") << RadioUser::Click << 3 << 3 << 3 << QList<int>{};
    QTest::newRow("click another button") << RadioUser::Click << 3 << 11 << 11 << QList<int>{11};
    QTest::newRow("right arrow") << RadioUser::Right << 3 << 3 << 4 << QList<int>{4};
    QTest::newRow("space on an unselected button") << RadioUser::Space << 3 << 6 << 6 << QList<int>{6};
    QTest::newRow("space on the selected button") << RadioUser::Space << 6 << 6 << 6 << QList<int>{};
    QTest::newRow("checked by code") << RadioUser::CodeCheck << 3 << 5 << 5 << QList<int>{};
    QTest::newRow("clicked by code") << RadioUser::CodeClick << -1 << 5 << 5 << QList<int>{};
}

void ControlsTest::radioGroupNotifiesWhenUserSelects()
{
    QFETCH(RadioUser, action);
    QFETCH(int, before);
    QFETCH(int, target);
    QFETCH(int, after);
    QFETCH(QList<int>, emitted);
    Window window;
    window.widget.resize(900, 100);
    QList<QRadioButton*> buttons;
    for (int k = 0; k < 12; ++k) {
        auto* button = new QRadioButton(QStringLiteral("%1月").arg(k), &window.widget);
        button->setGeometry(120 + 64 * k, 30, 57, 25);
        buttons.append(button);
    }
    forms::RadioGroup group(buttons);
    if (before >= 0)
        buttons[before]->setChecked(true);
    QVERIFY(window.show());
    buttons[target]->setFocus();
    QSignalSpy selected(&group, &forms::RadioGroup::selected);

    switch (action) {
    case RadioUser::Click: QTest::mouseClick(buttons[target], Qt::LeftButton); break;
    case RadioUser::Right: QTest::keyClick(buttons[target], Qt::Key_Right); break;
    case RadioUser::Space: QTest::keyClick(buttons[target], Qt::Key_Space); break;
    case RadioUser::CodeCheck: buttons[target]->setChecked(true); break;
    case RadioUser::CodeClick: buttons[target]->click(); break;
    }

    QCOMPARE(emittedIndexes(selected), emitted);
    QCOMPARE(group.checkedIndex(), after);
    for (int k = 0; k < 12; ++k)
        QCOMPARE(buttons[k]->isChecked(), k == after);
}

void ControlsTest::radioGroupTabStopIsTheSelectedButtonOnly()
{
    Window window;
    auto* before = new QLineEdit(&window.widget);
    QList<QRadioButton*> buttons{new QRadioButton(&window.widget), new QRadioButton(&window.widget),
                                 new QRadioButton(&window.widget)};
    auto* after = new QLineEdit(&window.widget);
    forms::RadioGroup group(buttons);
    QVERIFY(window.show());
    auto tabFrom = [](QWidget* from) {
        from->setFocus();
        QTest::keyClick(from, Qt::Key_Tab);
        return QApplication::focusWidget();
    };

    QCOMPARE(tabFrom(before), after);   // none selected: the group is skipped
    QTest::mouseClick(buttons[1], Qt::LeftButton);
    QCOMPARE(tabFrom(before), buttons[1]);
    QCOMPARE(tabFrom(buttons[1]), after);
    QTest::mouseClick(buttons[2], Qt::LeftButton);
    QCOMPARE(tabFrom(before), buttons[2]);
}

void ControlsTest::hiraganaModeIsCarriedByChosenControlsOnly()
{
    QLineEdit search, id;
    forms::ComboBox bodyPart;
    forms::SetHiraganaOnFocus(&search);
    forms::SetHiraganaOnFocus(&bodyPart);

    QVERIFY(forms::HasHiraganaOnFocus(&search) && forms::HasHiraganaOnFocus(&bodyPart));
    QVERIFY(!forms::HasHiraganaOnFocus(&id));
    QCOMPARE(bodyPart.property("imeMode").toString(), QStringLiteral("hiragana"));
    QVERIFY(bodyPart.testAttribute(Qt::WA_InputMethodEnabled));
}

// A layout makes the box, fills it, names it, gives it its style sheet and
// only then makes it editable. Reading the style before (by making the box
// editable in its constructor) made every later step restyle the box again.
void ControlsTest::comboBoxWaitsForItsLayoutBeforeReadingItsStyle()
{
    Window window;
    window.widget.setStyleSheet(QStringLiteral("QWidget { font: 12px; }"));
    auto* box = new forms::ComboBox(&window.widget);
    box->addItem(QStringLiteral("打撲"));
    box->setObjectName(QStringLiteral("ComboBox9"));
    box->setStyleSheet(QStringLiteral("font: bold 16px; color: #000080;"));
    QVERIFY(!box->testAttribute(Qt::WA_WState_Polished));
    QVERIFY(!box->lineEdit());

    box->setEditable(true);
    QVERIFY(box->lineEdit());
    QVERIFY(window.show());
    QCOMPARE(box->lineEdit()->font().pixelSize(), 16);
    QCOMPARE(box->selectedIndex(), -1);
    QCOMPARE(box->text(), QString());
}

// The layouts give fonts by pixel size in each control's style sheet; the
// names must come out as the Japanese fonts installed here.
void ControlsTest::styleSheetFontsUseInstalledFamilies_data()
{
    QTest::addColumn<QString>("styleSheet");
    QTest::addColumn<QString>("family");
    QTest::addColumn<int>("pixels");
    QTest::addColumn<bool>("bold");
    QTest::newRow("gothic") << QStringLiteral("font: bold 16px \"ＭＳ Ｐゴシック\"; color: #000080;")
                            << QStringLiteral("IPAPGothic") << 16 << true;
    QTest::newRow("mincho") << QStringLiteral("font: 27px \"ＭＳ Ｐ明朝\";")
                            << QStringLiteral("IPAPMincho") << 27 << false;
    QTest::newRow("rounded") << QStringLiteral("font: bold 37px \"HG丸ｺﾞｼｯｸM-PRO\"; color: #008000;")
                             << QStringLiteral("MotoyaLMaru") << 37 << true;
}

void ControlsTest::styleSheetFontsUseInstalledFamilies()
{
    QFETCH(QString, styleSheet);
    QFETCH(QString, family);
    QFETCH(int, pixels);
    QFETCH(bool, bold);
    Window window;
    auto* label = new QLabel(QStringLiteral("スポーツ振興センター請求"), &window.widget);
    auto* box = new forms::ComboBox(&window.widget);
    label->setStyleSheet(styleSheet);
    box->setStyleSheet(styleSheet);
    QVERIFY(window.show());
#ifdef Q_OS_WIN
    // The layout's own font where Windows has it, else a stand-in with Japanese.
    const QString layoutFamily = styleSheet.section(u'"', 1, 1);
    family = QFontDatabase::hasFamily(layoutFamily) ? layoutFamily : QString();
#endif

    for (const QWidget* control : {static_cast<QWidget*>(label), static_cast<QWidget*>(box->lineEdit())}) {
        const QFontInfo info(control->font());
        if (family.isEmpty())
            QVERIFY2(QFontDatabase::writingSystems(info.family()).contains(QFontDatabase::Japanese),
                     qPrintable(info.family()));
        else
            QCOMPARE(info.family(), family);
        QCOMPARE(info.pixelSize(), pixels);
        QCOMPARE(info.bold(), bold);
    }
}

KIBORU_GUI_TEST_MAIN(ControlsTest)
#include "tst_controls.moc"
