// The deadline list through the real window: its views, the find field,
// colours and counts, editing a claim's months, printing and CSV export.

#include "claimstatus/StatusFile.h"
#include "forms/MessageSeam.h"
#include "status/MonthDialog.h"
#include "status/StatusWindow.h"
#include "tests/claims/TestSupport.h"
#include "tests/status/StatusFixture.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMain.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QPrinter>
#include <QProcess>
#include <QRegularExpression>
#include <QThread>

#include <atomic>

#include <QStandardPaths>

using namespace claims;
using namespace statustest;
using status::MonthDialog;
using status::StatusModel;
using status::StatusWindow;

namespace {

// "ID 診療月 残り日数 状況" of every line shown.
QStringList Shown(const StatusWindow& window)
{
    QStringList lines;
    auto& model = const_cast<StatusWindow&>(window).Model();
    for (int r = 0; r < model.rowCount(); ++r) {
        lines.append(QStringList{model.Text(r, StatusModel::Id), model.Text(r, StatusModel::Month),
                                 model.Text(r, StatusModel::DaysLeft), model.Text(r, StatusModel::State)}
                         .join(u' '));
    }
    return lines;
}

int RowShowing(StatusWindow& window, const QString& id, const QString& month)
{
    for (int r = 0; r < window.Model().rowCount(); ++r) {
        if (window.Model().Text(r, StatusModel::Id) == id && window.Model().Text(r, StatusModel::Month) == month)
            return r;
    }
    return -1;
}

} // namespace

class StatusList : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void viewsShowTheirMonths_data();
    void viewsShowTheirMonths();
    void coloursAndCountsFollowTheDeadline();
    void handoverViewShowsDaysSincePaid();
    void monthDialogSavesOrCancels_data();
    void monthDialogSavesOrCancels();
    void unencodableNoteIsRefused();
    void monthDialogRefusesAnUnreadableFile();
    void monthDialogAsksBeforeOverwriting_data();
    void monthDialogAsksBeforeOverwriting();
    void csvExportIsWhatIsShown();
    void csvExportNeverReplacesKeptFiles_data();
    void csvExportNeverReplacesKeptFiles();
    void csvExportAsksBeforeUtf8_data();
    void csvExportAsksBeforeUtf8();
    void printedPagesHoldTheWholeTable();
    void slowReadingShowsProgressAndStaysResponsive();
    void closingWhileReadingStopsTheReader();

private:
    std::unique_ptr<testsupport::TestFolder> dir;
    std::unique_ptr<StatusWindow> window;
    void Open(const QString& workDir);
};

void StatusList::init()
{
    QStandardPaths::setTestModeEnabled(true);   // the names typed in the month dialog, the listing's cache
    dir = std::make_unique<testsupport::TestFolder>();
    const QString w = dir->path();
    WriteClaim(w, "100", 1, QStringLiteral("山田太郎"), QDate(2024, 6, 1), {{2024, 6}, {2024, 10}, {2024, 12}});
    WriteClaim(w, "200", 1, QStringLiteral("佐藤花子"), QDate(2024, 11, 5), {{2024, 11}, {2025, 3}, {2026, 11}});
    WriteClaim(w, "300", 2, QStringLiteral("鈴木一郎"), QDate(2014, 4, 20), {{2014, 4}, {2025, 5}});
    StatusFile file;
    file.Edit({2025, 3}).state = ClaimState::Claimed;
    file.Edit({2023, 5}).state = ClaimState::Paid;   // that month no longer marked
    PutStatusFile(w, "200", 1, file);
    Open(w);
}

void StatusList::Open(const QString& workDir)
{
    window = std::make_unique<StatusWindow>(workDir, kReference);
    window->show();
    QTRY_VERIFY(window->IsLoaded());
}

void StatusList::cleanup()
{
    window.reset();
    dir.reset();
}

void StatusList::viewsShowTheirMonths_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("thisMonth");
    QTest::addColumn<QString>("find");
    QTest::addColumn<QStringList>("shown");
    const QString c1 = u"300 2014年4月 時効 未請求"_qs, a6 = u"100 2024年6月 時効 未請求"_qs,
                  a10 = u"100 2024年10月 時効 未請求"_qs, b11 = u"200 2024年11月 1 未請求"_qs,
                  a12 = u"100 2024年12月 32 未請求"_qs, c5 = u"300 2025年5月 給付期間外 未請求"_qs,
                  b2611 = u"200 2026年11月 732 未請求"_qs, b3 = u"200 2025年3月  請求済"_qs,
                  b5 = u"200 2023年5月  支払済 印なし"_qs;
    QTest::newRow("未請求（期限順）") << 0 << false << "" << QStringList{c1, a6, a10, b11, a12, c5, b2611};
    QTest::newRow("90日以内") << 1 << false << "" << QStringList{b11, a12};
    QTest::newRow("時効") << 2 << false << "" << QStringList{c1, a6, a10};
    QTest::newRow("請求済") << 3 << false << "" << QStringList{b3};
    QTest::newRow("支払済") << 4 << false << "" << QStringList{b5};
    QTest::newRow("未渡し") << 5 << false << "" << QStringList{u"200 2023年5月 支払日なし 支払済 印なし"_qs};
    QTest::newRow("受領書未回収") << 6 << false << "" << QStringList();
    QTest::newRow("すべて") << 7 << false << "" << QStringList{c1, b5, a6, a10, b11, a12, b3, c5, b2611};
    QTest::newRow("find by name") << 0 << false << u"佐藤"_qs << QStringList{b11, b2611};
    QTest::newRow("find by ID") << 7 << false << u"30"_qs << QStringList{c1, c5};
    QTest::newRow("今月の請求") << 0 << true << "" << QStringList{a12, b11, b2611};
}

void StatusList::viewsShowTheirMonths()
{
    QFETCH(int, filter);
    QFETCH(bool, thisMonth);
    QFETCH(QString, find);
    QFETCH(QStringList, shown);
    QCOMPARE(window->ui->StatusFilter->currentText(), u"未請求（期限順）"_qs);
    window->ui->StatusFilter->setCurrentIndex(filter);
    testsupport::TypeText(window->ui->StatusFind, find);
    if (thisMonth)
        window->ui->ThisMonthButton->click();
    QCOMPARE(Shown(*window), shown);
    QCOMPARE(window->ui->StatusDate->text(), u"基準日　2026年12月9日"_qs);
}

void StatusList::coloursAndCountsFollowTheDeadline()
{
    const QStringList want{"#ff8080", "#ff8080", "#ff8080", "#ffb860", "#fff080", "none", "none"};
    QStringList got;
    for (int r = 0; r < window->Model().rowCount(); ++r) {
        const QVariant colour = window->Model().index(r, 0).data(Qt::BackgroundRole);
        got.append(colour.isValid() ? colour.value<QColor>().name() : u"none"_qs);
    }
    QCOMPARE(got, want);
    QCOMPARE(window->ui->StatusSummary->text(), u"時効 3件　30日以内 1件　90日以内 2件　未請求 7件　未渡し 1件　受領書未回収 0件　（表示 7行）"_qs);
}

// 未渡し: paid to the school, not handed over; no paid date first, then the
// longest paid; 14 days orange, 30 red; the columns, the CSV and the print
// read 支払日 and 経過日数; the count shows under every filter. And
// 受領書未回収: handed over with no receipt back, longest handed over first.
void StatusList::handoverViewShowsDaysSincePaid()
{
    StatusFile file;
    const auto paid = [&](YearMonth month, QDate paidOn, QDate handedOn) {
        MonthStatus& m = file.Edit(month);
        m.state = ClaimState::Paid;
        m.paidDate = paidOn;
        m.handedDate = handedOn;
    };
    paid({2024, 6}, QDate(2026, 11, 26), {});
    paid({2024, 10}, QDate(2026, 11, 9), {});
    paid({2024, 12}, QDate(2026, 11, 25), {});
    paid({2025, 1}, QDate(2026, 10, 1), QDate(2026, 10, 20));   // handed over
    paid({2025, 2}, QDate(2026, 10, 1), QDate(2026, 11, 30));   // handed over later
    paid({2025, 3}, QDate(2026, 10, 1), QDate(2026, 10, 2));
    file.Edit({2025, 3}).receiptDate = QDate(2026, 10, 9);      // its receipt came back
    PutStatusFile(dir->path(), "100", 1, file);
    Open(dir->path());
    QVERIFY(window->ui->StatusSummary->text().contains(u"未渡し 4件"_qs));
    window->ui->StatusFilter->setCurrentIndex(5);
    QCOMPARE(window->ui->StatusFilter->currentText(), u"未渡し"_qs);
    QStringList got;
    for (int r = 0; r < window->Model().rowCount(); ++r) {
        const QVariant colour = window->Model().index(r, StatusModel::Id).data(Qt::BackgroundRole);
        got.append(window->Model().Text(r, StatusModel::Deadline) + u' ' + Shown(*window)[r] + u' '
                   + (colour.isValid() ? colour.value<QColor>().name() : u"none"_qs));
    }
    QCOMPARE(got, (QStringList{u" 200 2023年5月 支払日なし 支払済 印なし none"_qs,
                               u"2026/11/09 100 2024年10月 30 支払済 #ff8080"_qs,
                               u"2026/11/25 100 2024年12月 14 支払済 #ffb860"_qs,
                               u"2026/11/26 100 2024年6月 13 支払済 none"_qs}));
    const QStringList heads{u"支払日"_qs, u"経過日数"_qs};
    QCOMPARE(window->Model().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), heads[0]);
    QCOMPARE(window->ShownLines().first().mid(0, 2), heads);
    QVERIFY(window->PrintTitle().contains(u"未渡し"_qs));
    window->ui->StatusFilter->setCurrentIndex(0);
    QCOMPARE(window->ShownLines().first().mid(0, 2), (QStringList{u"期限"_qs, u"残り日数"_qs}));
    QVERIFY(window->ui->StatusSummary->text().contains(u"未渡し 4件　受領書未回収 2件"_qs));
    // 受領書未回収: handed over, no receipt; the longest handed over first.
    window->ui->StatusFilter->setCurrentIndex(window->ui->StatusFilter->findText(u"受領書未回収"_qs));
    QCOMPARE(window->ShownLines().first().mid(0, 2), (QStringList{u"保護者支払日"_qs, u"経過日数"_qs}));
    QStringList receipts;
    for (int r = 0; r < window->Model().rowCount(); ++r)
        receipts.append(window->Model().Text(r, StatusModel::Deadline) + u' ' + window->Model().Text(r, StatusModel::DaysLeft)
                        + u' ' + window->Model().Text(r, StatusModel::Month));
    QCOMPARE(receipts, (QStringList{u"2026/10/20 50 2025年1月"_qs, u"2026/11/30 9 2025年2月"_qs}));
}

void StatusList::monthDialogSavesOrCancels_data()
{
    QTest::addColumn<bool>("save");
    QTest::newRow("保存") << true;
    QTest::newRow("キャンセル") << false;
}

// Enter on a line opens the claim's months; points of 7,000 call for the
// extra form, and the total decides 「500点未満」. The handover opens when
// a month is set 支払済, a differing amount is marked as typed and saved all
// the same, and a pay method typed in a spreadsheet is kept as written.
void StatusList::monthDialogSavesOrCancels()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(bool, save);
    const QString path = StatusFilePath(dir->path(), "100", 1);
    const QString oldHeader = u"診療年,診療月,状況,請求日,点数,支払日,支払額,メモ,保護者支払日,支払方法\r\n"_qs;
    const QString header = oldHeader.chopped(2) + u",渡した人,確認者,受領書\r\n"_qs;
    const QString june = u"2024,6,支払済,2026/10/01,300,2026/11/20,1200,,,口座振替"_qs;
    QVERIFY(QDir().mkpath(StatusFolder(dir->path())) && ktest::WriteBytes(path, ktest::Sj(oldHeader + june + u"\r\n"_qs)));
    const QByteArray before = ktest::ReadBytes(path);
    const int row = RowShowing(*window, u"100"_qs, u"2024年12月"_qs);
    window->ui->StatusTable->setCurrentIndex(window->Model().index(row, 0));
    QStringList remarks;
    bool belowBefore = false, belowAfter = true;
    QList<bool> handoverOpen;
    QString juneMethod;
    testsupport::WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<MonthDialog*>(modal);
        QVERIFY(dialog);
        const int r = dialog->RowOf({2024, 12}), oct = dialog->RowOf({2024, 10});
        belowBefore = dialog->ui->BelowMinimum->isVisibleTo(dialog);
        juneMethod = static_cast<QComboBox*>(dialog->Editor(dialog->RowOf({2024, 6}), MonthDialog::PayMethod))->currentText();
        handoverOpen.append(dialog->Editor(oct, MonthDialog::HandedDate)->isEnabled());
        handoverOpen.append(dialog->Editor(oct, MonthDialog::PayMethod)->isVisibleTo(dialog));
        static_cast<QComboBox*>(dialog->Editor(oct, MonthDialog::State))->setCurrentIndex(3);
        handoverOpen.append(dialog->Editor(oct, MonthDialog::HandedDate)->isEnabled());
        handoverOpen.append(dialog->Editor(oct, MonthDialog::PayMethod)->isEnabled());
        testsupport::TypeText(dialog->Editor(oct, MonthDialog::Points), u"1200"_qs);
        testsupport::TypeText(dialog->Editor(oct, MonthDialog::Amount), u"4797"_qs);
        static_cast<QDateEdit*>(dialog->Editor(oct, MonthDialog::HandedDate))->setDate(QDate(2026, 12, 8));
        static_cast<QComboBox*>(dialog->Editor(oct, MonthDialog::PayMethod))->setCurrentText(u"現金"_qs);
        static_cast<QComboBox*>(dialog->Editor(oct, MonthDialog::HandedBy))->setCurrentText(u"鈴木"_qs);
        static_cast<QComboBox*>(dialog->Editor(oct, MonthDialog::CheckedBy))->setCurrentText(u"鈴木"_qs);
        static_cast<QComboBox*>(dialog->Editor(r, MonthDialog::State))->setCurrentIndex(2);
        static_cast<QDateEdit*>(dialog->Editor(r, MonthDialog::ClaimDate))->setDate(QDate(2026, 12, 9));
        static_cast<QDateEdit*>(dialog->Editor(r, MonthDialog::PaidDate))->setDate(QDate(2026, 12, 1));
        QTest::keyClick(dialog->Editor(r, MonthDialog::PaidDate), Qt::Key_Delete);   // empty again
        testsupport::TypeText(dialog->Editor(r, MonthDialog::Points), u"70x00"_qs);
        testsupport::TypeText(dialog->Editor(r, MonthDialog::Note), u"領収書 \"2枚\", 済"_qs);
        belowAfter = dialog->ui->BelowMinimum->isVisibleTo(dialog);
        for (int i = 0; i < dialog->ui->MonthTable->rowCount(); ++i)
            remarks.append(dialog->ui->MonthTable->item(i, MonthDialog::Remark)->text());
        remarks.append(dialog->ui->TotalPoints->text());
        testsupport::ClickButton(dialog, save ? u"保存"_qs : u"キャンセル"_qs);
    });
    QTest::keyClick(window->ui->StatusTable, Qt::Key_Return);

    QVERIFY(belowBefore);
    QVERIFY(!belowAfter);
    QCOMPARE(juneMethod, u"口座振替"_qs);
    QCOMPARE(handoverOpen, (QList<bool>{false, true, true, true}));
    QCOMPARE(remarks, (QStringList{u"通常 1200円"_qs, u"通常 4800円　金額を確認　確認は別の人が"_qs, u"高額療養状況の届が必要"_qs,
                                   u"合計 8500点"_qs}));
    if (!save) {
        QCOMPARE(ktest::ReadBytes(path), before);
        QVERIFY(RowShowing(*window, u"100"_qs, u"2024年12月"_qs) >= 0);
        return;
    }
    QCOMPARE(ktest::ReadBytes(path), ktest::Sj(header + june + u",,,\r\n2024,10,支払済,,1200,,4797,,2026/12/08,現金,鈴木,鈴木,\r\n"
                                               u"2024,12,請求済,2026/12/09,7000,,,\"領収書 \"\"2枚\"\", 済\",,,,,\r\n"_qs));
    QCOMPARE(RowShowing(*window, u"100"_qs, u"2024年12月"_qs), -1);   // claimed: gone from the open list
}

void StatusList::unencodableNoteIsRefused()
{
    forms::MessageSeam seam;
    ClaimOverview claim;
    claim.id = "100";
    claim.occurrence = 1;
    claim.treated = {{2024, 6}};
    MonthDialog dialog(dir->path(), claim);
    static_cast<QLineEdit*>(dialog.Editor(0, MonthDialog::Note))->setText(u"ok 😀"_qs);
    dialog.SaveButtonClick();
    QCOMPARE(seam.shownTexts(), QStringList{u"2024年6月のメモに保存できない文字があります。"_qs});
    QVERIFY(!QFileInfo::exists(StatusFilePath(dir->path(), "100", 1)));
}

// A status file that cannot be read is shown with why, and no save.
void StatusList::monthDialogRefusesAnUnreadableFile()
{
    const QString path = StatusFilePath(dir->path(), "200", 1);
    QVERIFY(QFile::remove(path) && QDir().mkdir(path));
    QStringList problems;
    const ClaimOverview claim = ReadClaimOverview(ClaimFilePath(dir->path(), "200", 1), QString(), "200", 1, problems);
    MonthDialog dialog(dir->path(), claim);
    QCOMPARE(dialog.ui->MonthProblem->text(),
             u"請求状況ファイル 請200-1.CSV を読み込めません：ﾌｧｲﾙへのｱｸｾｽが拒否されました"_qs);
    QVERIFY(dialog.ui->MonthProblem->isVisibleTo(&dialog));
    QVERIFY(!dialog.ui->SaveButton->isEnabled() && dialog.ui->CancelButton->isEnabled());
}

// Through the list, as the office works: another PC saves the claim's
// status while the month dialog is open.
void StatusList::monthDialogAsksBeforeOverwriting_data()
{
    QTest::addColumn<bool>("yes");
    QTest::newRow("no") << false;
    QTest::newRow("yes") << true;
}

void StatusList::monthDialogAsksBeforeOverwriting()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(bool, yes);
    const QString path = StatusFilePath(dir->path(), "200", 1);
    window->ui->StatusTable->setCurrentIndex(window->Model().index(RowShowing(*window, u"200"_qs, u"2024年11月"_qs), 0));
    forms::MessageSeam seam;
    seam.queueAnswer(yes ? forms::Answer::Yes : forms::Answer::No);
    QByteArray others;
    bool openAfterSave = false;
    testsupport::WhenModal([&](QWidget* modal) {
        auto* dialog = qobject_cast<MonthDialog*>(modal);
        QVERIFY(dialog);
        StatusFile other;
        other.Edit({2024, 11}).note = u"other PC"_qs;
        QVERIFY(WriteStatusFile(dir->path(), "200", 1, other).has_value());
        others = ktest::ReadBytes(path);
        testsupport::TypeText(dialog->Editor(dialog->RowOf({2025, 3}), MonthDialog::Note), u"this PC"_qs);
        testsupport::ClickButton(dialog, u"保存"_qs);
        openAfterSave = dialog->isVisible();
        if (openAfterSave)
            testsupport::ClickButton(dialog, u"キャンセル"_qs);
    });
    QTest::keyClick(window->ui->StatusTable, Qt::Key_Return);
    QCOMPARE(seam.shownTexts(),
             QStringList{u"請200-1.CSV\nこの請求状況は読み込んだ後に他のパソコンで変更されています。上書きしますか？"_qs});
    QCOMPARE(openAfterSave, !yes);
    QCOMPARE(ktest::ReadBytes(path) == others, !yes);
    const Result<Stamped<StatusFile>> read = ReadStatusFile(path);
    QVERIFY(read);
    const MonthStatus* march = read->value.Find({2025, 3});
    QCOMPARE(march ? march->note : u"none"_qs, yes ? u"this PC"_qs : u"none"_qs);
}

void StatusList::csvExportIsWhatIsShown()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    const QString path = dir->path() + u"/一覧.CSV"_qs;
    window->ui->StatusFilter->setCurrentIndex(1);
    window->AskCsvPath = [&] { return path; };
    window->ui->CsvButton->click();
    QCOMPARE(ktest::ReadBytes(path), ktest::Sj(u"期限,残り日数,ID番号,氏名,回,受傷日,傷病名,診療月,状況\r\n"
                                               u"2026/12/10,1,200,佐藤花子,1,2024/11/5,捻挫,2024年11月,未請求\r\n"
                                               u"2027/01/10,32,100,山田太郎,1,2024/6/1,捻挫,2024年12月,未請求\r\n"_qs));
}

void StatusList::csvExportNeverReplacesKeptFiles_data()
{
    QTest::addColumn<QString>("target");
    QTest::newRow("a claim file") << u"seikyu/請100-1.CSV"_qs;
    QTest::newRow("a new file in seikyu") << u"seikyu/一覧.CSV"_qs;
    QTest::newRow("a status file") << u"請求状況/請200-1.CSV"_qs;
    QTest::newRow("a claim copied elsewhere") << u"copy.CSV"_qs;
}

void StatusList::csvExportNeverReplacesKeptFiles()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QString, target);
    const QString path = dir->path() + u'/' + target;
    QFile::copy(dir->path() + u"/seikyu/請100-1.CSV"_qs, dir->path() + u"/copy.CSV"_qs);
    const QByteArray before = ktest::ReadBytes(path);
    forms::MessageSeam seam;
    window->AskCsvPath = [&] { return path; };
    window->ui->CsvButton->click();
    QCOMPARE(seam.shown().size(), 1);
    QVERIFY(seam.shownTexts().first().startsWith(QDir::toNativeSeparators(path) + u'\n'));
    QCOMPARE(ktest::ReadBytes(path), before);
}

void StatusList::csvExportAsksBeforeUtf8_data()
{
    QTest::addColumn<forms::Answer>("answer");
    QTest::newRow("yes: UTF-8 with a byte-order mark") << forms::Answer::Yes;
    QTest::newRow("no: nothing written") << forms::Answer::No;
}

// A name that Shift-JIS cannot hold, and a memo-like name that a
// spreadsheet would take for a formula.
void StatusList::csvExportAsksBeforeUtf8()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(forms::Answer, answer);
    WriteClaim(dir->path(), "500", 1, u"=1+2"_qs, QDate(2026, 11, 2), {{2026, 11}});
    QByteArray claim = ktest::ReadBytes(dir->path() + u"/seikyu/請500-1.CSV"_qs);
    claim.replace(ktest::Sj(u"=1+2"_qs), ktest::Sj(u"=1+2"_qs) + "\x85\x40");   // a code no character has
    QVERIFY(ktest::WriteBytes(dir->path() + u"/seikyu/請500-1.CSV"_qs, claim));
    Open(dir->path());
    testsupport::TypeText(window->ui->StatusFind, u"500"_qs);
    const QString path = dir->path() + u"/一覧.CSV"_qs;
    forms::MessageSeam seam;
    seam.queueAnswer(answer);
    window->AskCsvPath = [&] { return path; };
    window->ui->CsvButton->click();
    QCOMPARE(seam.shownTexts(), QStringList{u"一覧の1行目の「=1+2\uFFFD」には Shift-JIS で保存できない文字があります。\n"
                                            u"UTF-8（BOM付き、Excel でそのまま開けます）で書き出しますか？"_qs});
    if (answer != forms::Answer::Yes) {
        QVERIFY(!QFileInfo::exists(path));
        return;
    }
    const QByteArray written = ktest::ReadBytes(path);
    QVERIFY(written.startsWith("\xEF\xBB\xBF" + u"期限,残り日数,ID番号,氏名,回,受傷日,傷病名,診療月,状況\r\n"_qs.toUtf8()));
    QVERIFY(written.endsWith(u",500,'=1+2\uFFFD,1,2026/11/2,捻挫,2026年11月,未請求\r\n"_qs.toUtf8()));
    QCOMPARE(written.count("\r\n"), 2);
}

// A claim treated in every month of thirteen years fills several pages.
void StatusList::printedPagesHoldTheWholeTable()
{
    QList<YearMonth> months;
    for (int i = 0; i < 13 * 12; ++i)
        months.append({2014 + (i + 3) / 12, (i + 3) % 12 + 1});
    WriteClaim(dir->path(), "400", 1, QStringLiteral("高橋次郎"), QDate(2014, 4, 7), months);
    Open(dir->path());
    window->ui->StatusFilter->setCurrentIndex(window->ui->StatusFilter->findText(u"すべて"_qs));
    const QString pdf = dir->path() + u"/list.pdf"_qs;
    QPrinter printer;
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(pdf);
    window->PrintTo(printer);
#ifdef Q_OS_WIN
    // pdftotext is a Linux program that a Windows test under Wine cannot
    // start: here only the pages are counted; the Linux run reads their text.
    const QString raw = QString::fromLatin1(ktest::ReadBytes(pdf));
    QVERIFY2(raw.count(QRegularExpression(u"/Type\\s*/Page(?!s)"_qs)) >= 3, "fewer than three pages printed");
    QSKIP("the printed text is read with pdftotext in the Linux run");
#endif

    QProcess text;
    text.start(u"pdftotext"_qs, {u"-layout"_qs, pdf, u"-"_qs});
    QVERIFY2(text.waitForFinished(20000), "pdftotext missing (poppler-utils)");
    const QString out = QString::fromUtf8(text.readAllStandardOutput());
    const int pages = int(out.count(u'\f'));
    QVERIFY2(pages >= 3, qPrintable(out.left(400)));
    // The layout turns the title's wide spaces into plain ones.
    QCOMPARE(out.count(QRegularExpression(u"請求状況\\s+すべて\\s+基準日 2026年12月9日"_qs)), pages);
    QCOMPARE(out.count(u"期限"_qs), pages);
    for (int p = 1; p <= pages; ++p)
        QVERIFY(out.contains(QRegularExpression(QStringLiteral("\\b%1\\s*/\\s*%2\\b").arg(p).arg(pages))));
    for (int r = 0; r < window->Model().rowCount(); ++r) {
        const QString line = window->Model().RowTexts(r).join(u' ');
        QVERIFY2(out.contains(window->Model().Text(r, StatusModel::Month) + u' '), qPrintable(line));
    }
    QCOMPARE(out.count(u"高橋次郎"_qs), 13 * 12);
}

KIBORU_GUI_TEST_MAIN(StatusList)
#include "tst_status_window.moc"

namespace {

// A file server that answers only when let: it reports file 1 of 4 until
// released (or told to stop), then reads the folder.
struct SlowServer {
    std::atomic<bool> released{false};
    std::atomic<bool> toldToStop{false};

    StatusWindow::ClaimReader Reader()
    {
        return [this](const QString& workDir, const std::function<bool(int, int)>& progress) {
            while (!released) {
                if (!progress(1, 4)) {
                    toldToStop = true;
                    return ClaimListing{};
                }
                QThread::msleep(5);
            }
            return ReadAllClaims(workDir, progress);
        };
    }
};

} // namespace

void StatusList::slowReadingShowsProgressAndStaysResponsive()
{
    SlowServer server;
    StatusWindow slow(dir->path(), kReference, nullptr, server.Reader());
    slow.show();
    QVERIFY(!slow.ui->StatusProgress->isVisible());
    QTRY_VERIFY(slow.ui->StatusProgress->isVisible());
    QTRY_COMPARE(slow.ui->StatusProgress->maximum(), 4);   // once the reader has told its first file
    QTRY_COMPARE(slow.ui->StatusProgress->value(), 1);
    QTest::keyClicks(slow.ui->StatusFind, "100");   // typed while the claims are read
    QVERIFY(!slow.IsLoaded());
    server.released = true;
    QTRY_VERIFY(slow.IsLoaded());
    QVERIFY(!slow.ui->StatusProgress->isVisible());
    QCOMPARE(Shown(slow), (QStringList{u"100 2024年6月 時効 未請求"_qs, u"100 2024年10月 時効 未請求"_qs,
                                        u"100 2024年12月 32 未請求"_qs}));
}

void StatusList::closingWhileReadingStopsTheReader()
{
    SlowServer server;
    auto slow = std::make_unique<StatusWindow>(dir->path(), kReference, nullptr, server.Reader());
    QTest::qWait(50);
    slow.reset();   // waits for the reader, which is told to stop
    QVERIFY(server.toldToStop);
}
