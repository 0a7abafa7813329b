// The history window through its controls: the find field, the chosen
// version beside the list, and putting a version back.

#include "forms/MessageSeam.h"
#include "history/HistoryWindow.h"
#include "tests/claims/HistoryFixture.h"
#include "tests/claims/TestSupport.h"
#include "tests/support/ModalHelpers.h"
#include "tests/support/TestFolder.h"
#include "tests/support/TestMain.h"

#include <QElapsedTimer>
#include <QThread>

using namespace claims;
using namespace historytest;
using forms::Answer;
using history::HistoryModel;
using history::HistoryWindow;

namespace {

const QString kOld = u"20261201-090000-001"_qs;

QStringList ShownIds(HistoryWindow& window)
{
    QStringList ids;
    for (int r = 0; r < window.Model().rowCount(); ++r)
        ids << window.Model().Text(r, HistoryModel::Id) + u' ' + window.Model().Text(r, HistoryModel::Name);
    return ids;
}

int RowOf(HistoryWindow& window, const QString& id)
{
    for (int r = 0; r < window.Model().rowCount(); ++r) {
        if (window.Model().Text(r, HistoryModel::Id) == id)
            return r;
    }
    return -1;
}

void ClickRow(HistoryWindow& window, const QString& id)
{
    QTableView* table = window.ui->HistoryTable;
    const QRect cell = table->visualRect(window.Model().index(RowOf(window, id), HistoryModel::Kind));
    QTest::mouseClick(table->viewport(), Qt::LeftButton, {}, cell.center());
}

} // namespace

class HistoryWindowTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void findNarrowsByIdOrName_data();
    void findNarrowsByIdOrName();
    void chosenVersionShowsWhatDiffersNow();
    void restorePutsTheVersionBack_data();
    void restorePutsTheVersionBack();
    void closingWhileReadingStopsTheReader();

private:
    std::unique_ptr<testsupport::TestFolder> dir;
    std::unique_ptr<HistoryWindow> window;
    QByteArray current, kept, deleted;
};

void HistoryWindowTest::init()
{
    dir = std::make_unique<testsupport::TestFolder>();
    const QString w = dir->path();
    current = Claim(u"山田太郎"_qs, u"骨折"_qs, {{2011, 10}});
    kept = Claim(u"山田太郎"_qs, u"捻挫"_qs, {{2011, 10}, {2011, 11}});
    deleted = Claim(u"佐藤花子"_qs, u"打撲"_qs, {}, "200", 2);
    Put(w, u"seikyu/請100-1.CSV"_qs, current);
    PutVersion(w, u"seikyu"_qs, u"請100-1"_qs, kOld, kept);
    PutVersion(w, u"seikyu"_qs, u"請200-2"_qs, u"20261203-120000-500"_qs, deleted);
    window = std::make_unique<HistoryWindow>(w);
    window->show();
    QTRY_VERIFY(window->IsLoaded());
}

void HistoryWindowTest::cleanup()
{
    window.reset();
    dir.reset();
}

void HistoryWindowTest::findNarrowsByIdOrName_data()
{
    QTest::addColumn<QString>("find");
    QTest::addColumn<QStringList>("shown");
    QTest::newRow("nothing typed") << "" << QStringList{u"200 佐藤花子"_qs, u"100 山田太郎"_qs};
    QTest::newRow("part of a name") << u"佐藤"_qs << QStringList{u"200 佐藤花子"_qs};
    QTest::newRow("part of an ID") << "10" << QStringList{u"100 山田太郎"_qs};
    QTest::newRow("no match") << u"鈴木"_qs << QStringList{};
}

void HistoryWindowTest::findNarrowsByIdOrName()
{
    QFETCH(QString, find);
    QFETCH(QStringList, shown);
    testsupport::TypeText(window->ui->HistoryFind, find);
    QCOMPARE(ShownIds(*window), shown);
}

void HistoryWindowTest::chosenVersionShowsWhatDiffersNow()
{
    QVERIFY(!window->ui->HistoryRestore->isEnabled());
    ClickRow(*window, u"100"_qs);
    const QString shown = window->ui->HistoryDetail->toPlainText().simplified();
    QVERIFY2(shown.contains(u"傷病名 捻挫 現在：骨折"_qs), qPrintable(shown));
    QVERIFY2(shown.contains(u"◎,10月,◎,11月,－,12月,－,１月,－,２月,－,３月 現在：2011年,－,４月"_qs), qPrintable(shown));
    QVERIFY2(!shown.contains(u"現在：男"_qs), qPrintable(shown));   // the same now: not marked
    QVERIFY(window->ui->HistoryDetail->toHtml().contains(u"color:#c00000"_qs));
    QVERIFY(window->ui->HistoryRestore->isEnabled());
    QCOMPARE(window->Model().Text(RowOf(*window, u"100"_qs), HistoryModel::Change),
             u"傷病名 捻挫→骨折、2011年11月 ◎→－"_qs);
}

void HistoryWindowTest::restorePutsTheVersionBack_data()
{
    QTest::addColumn<QString>("id");
    QTest::addColumn<bool>("changedBehind");
    QTest::addColumn<QList<Answer>>("answers");
    QTest::addColumn<QString>("expected");   // kept, current, other, deleted
    const QList<Answer> yes{Answer::Yes}, no{Answer::No};
    QTest::newRow("はい") << u"100"_qs << false << yes << "kept";
    QTest::newRow("いいえ") << u"100"_qs << false << no << "current";
    QTest::newRow("deleted claim") << u"200"_qs << false << yes << "deleted";
    QTest::newRow("changed elsewhere, overwrite") << u"100"_qs << true << QList{Answer::Yes, Answer::Yes} << "kept";
    QTest::newRow("changed elsewhere, keep") << u"100"_qs << true << QList{Answer::Yes, Answer::No} << "other";
}

void HistoryWindowTest::restorePutsTheVersionBack()
{
    KIBORU_SKIP_SAVES_UNDER_WINE_ON_SHARE();
    QFETCH(QString, id);
    QFETCH(bool, changedBehind);
    QFETCH(QList<Answer>, answers);
    QFETCH(QString, expected);
    const QString path = dir->filePath(id == u"100" ? u"seikyu/請100-1.CSV"_qs : u"seikyu/請200-2.CSV"_qs);
    const QByteArray other = Claim(u"山田太郎"_qs, u"脱臼"_qs);
    ClickRow(*window, id);
    if (changedBehind)
        QVERIFY(ktest::WriteBytes(path, other));
    forms::MessageSeam seam;
    for (Answer a : answers)
        seam.queueAnswer(a);
    QTest::mouseClick(window->ui->HistoryRestore, Qt::LeftButton);
    QTRY_VERIFY(window->IsLoaded());
    QVERIFY(!seam.failed());
    const QMap<QString, QByteArray> bytes{{"kept", kept}, {"current", current}, {"other", other}, {"deleted", deleted}};
    QCOMPARE(ktest::ReadBytes(path), bytes[expected]);
    const QStringList texts = seam.shownTexts();
    QCOMPARE(texts.value(0), id == u"100" ? u"100 山田太郎 1回目を 2026/12/01 09:00:00 の版に戻しますか？"_qs
                                           : u"200 佐藤花子 2回目を 2026/12/03 12:00:00 の版に戻しますか？"_qs);
    if (changedBehind) {
        QCOMPARE(texts.value(1),
                 u"請100-1.CSV\nこの請求ファイルは読み込んだ後に他のパソコンで変更されています。上書きしますか？"_qs);
    }
    if (QTest::currentDataTag() == QByteArray("はい")) {   // the save kept what it replaced: undone in one step
        QTRY_COMPARE(window->Model().Text(0, HistoryModel::Change), u"傷病名 骨折→捻挫、2011年11月 －→◎"_qs);
    }
    if (expected == u"deleted") {   // read again: the claim is there now
        QTRY_COMPARE(window->Model().Text(RowOf(*window, id), HistoryModel::Change), u"変更なし"_qs);
    }
}

// A reader that would go on for long stops when the window closes.
void HistoryWindowTest::closingWhileReadingStopsTheReader()
{
    std::atomic<bool> reading{false};
    auto slow = [&](const QString&, const std::function<bool(int, int)>& progress) {
        reading = true;
        for (int i = 0; i < 100000 && progress(i, 100000); ++i)
            QThread::msleep(1);
        return HistoryListing();
    };
    auto slowWindow = std::make_unique<HistoryWindow>(dir->path(), nullptr, slow);
    QTRY_VERIFY(reading);
    QElapsedTimer closing;
    closing.start();
    slowWindow.reset();
    QVERIFY(closing.elapsed() < 2000);
}

KIBORU_GUI_TEST_MAIN(HistoryWindowTest)
#include "tst_history_window.moc"
