// 検　索 and the search made ahead while the office pauses in typing: the
// click never waits for a search whose lines it would throw away.
#include "entry/SearchAhead.h"
#include "entry/SeiKyuImp.h"
#include "tests/entry/EntryDriver.h"
#include "tests/support/SlowMount.h"
#include "tests/support/TestMain.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QThreadPool>

using namespace entrytest;

namespace {

const QString kSaburo = QStringLiteral(
    "1031,3-3,2-2,1-2,山田三郎,やまださぶろう,山田一郎,西中学校,男,理数科,H4.1.2,東京都中野区7-8");

} // namespace

class SearchAheadTest : public QObject {
    Q_OBJECT

private slots:
    void clickLeavesStalledSearchesBehind_data();
    void clickLeavesStalledSearchesBehind();
};

void SearchAheadTest::clickLeavesStalledSearchesBehind_data()
{
    QTest::addColumn<QString>("stalledRoster");   // read through the stalled server
    QTest::addColumn<QString>("stalledYear");
    // Searches of another year's roster: as many as Qt's shared threads (at
    // most three), which the click's search ahead queued behind.
    QTest::newRow("entry year changed") << QStringLiteral("H21入学.CSV") << QStringLiteral("平成21年度");
    // The roster searched ahead is replaced by another before the click.
    QTest::newRow("roster replaced") << kRoster << kEntryYear;
}

// The searches ahead of a roster on a file server that answers each open and
// read after a second (a link into a slowfs mount) are left to run: 検　索 after
// a pause lists the roster as it is now, at once.
void SearchAheadTest::clickLeavesStalledSearchesBehind()
{
    QFETCH(QString, stalledRoster);
    QFETCH(QString, stalledYear);
    const bool yearChanges = stalledYear != kEntryYear;
    Session s;
    writeRoster(s.folder);
    QTemporaryDir server;
    QVERIFY(QFile::copy(s.folder.file(kRoster), server.filePath(QStringLiteral("roster.csv"))));
    testsupport::SlowMount mount(server.path(), 1000, 0);
    if (!mount.Mounted())
        QSKIP(qPrintable(mount.WhyNot()));
    QFile::remove(s.folder.file(stalledRoster));
    if (!QFile::link(mount.Path() + QStringLiteral("/roster.csv"), s.folder.file(stalledRoster)))
        QSKIP("no link can be made in the working folder");

    TForm2& w = *s.window;
    auto* ahead = w.findChild<entry::SearchAhead*>();
    typeInto(w.ui->ComboBox1, stalledYear);
    const int stalls = yearChanges ? qMin(QThreadPool::globalInstance()->maxThreadCount(), 3) : 1;
    const QStringList readings = QStringList({"さとう", "やま", "やまだ"}).mid(3 - stalls);
    for (int i = 0; i < stalls; ++i) {
        typeInto(w.ui->Edit1, readings[i]);
        QTRY_VERIFY(mount.Counts().open > i);   // that search has looked at the roster and waits
    }
    QFile::remove(s.folder.file(kRoster));
    writeRoster(s.folder, {kTaro, kHanako, kJiro, kSaburo});
    if (yearChanges) {
        typeInto(w.ui->ComboBox1, kEntryYear);
        QTRY_VERIFY(ahead->Running() || ahead->Found());   // the pause has passed
    }
    s.dialogs.answer({actsNamed({"end"})});
    QElapsedTimer click;
    click.start();
    QTest::mouseClick(w.ui->BitBtn1, Qt::LeftButton);
    QVERIFY2(click.elapsed() < 700, qPrintable(QStringLiteral("%1 ms").arg(click.elapsed())));
    QCOMPARE(s.dialogs.seen().size(), 1);
    QCOMPARE(s.dialogs.seen()[0].lines, QStringList({kTaro, kHanako, kSaburo}));
}

KIBORU_GUI_TEST_MAIN(SearchAheadTest)
#include "tst_search_ahead.moc"
