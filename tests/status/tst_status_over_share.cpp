// The deadline list over a slow file server's stand-in (slowfs): the second
// opening shows what the files hold after one was changed behind the
// list's back, and reads that file only.

#include "claimstatus/ListingCache.h"
#include "status/StatusWindow.h"
#include "tests/status/StatusFixture.h"
#include "tests/support/SlowMount.h"
#include "tests/support/TestMain.h"

#include <QDateTime>
#include <QTemporaryDir>

using namespace claims;
using statustest::kReference;
using statustest::WriteClaim;

namespace {

// The lines the deadline list shows when opened on workDir with read.
QList<QStringList> Lines(const QString& workDir, const status::StatusWindow::ClaimReader& read)
{
    status::StatusWindow window(workDir, kReference, nullptr, read);
    if (!QTest::qWaitFor([&window] { return window.IsLoaded(); }, 30000))
        return {};
    return window.ShownLines();
}

// Every file of seikyu written an hour ago, as a cache may keep it.
void Age(const QString& workDir, QDateTime when)
{
    for (const ListedFile& file : ListFiles(workDir + u"/seikyu"_qs)) {
        QFile f(workDir + u"/seikyu/"_qs + file.name);
        QVERIFY(f.open(QIODevice::ReadWrite) && f.setFileTime(when, QFileDevice::FileModificationTime));
    }
}

} // namespace

class StatusOverShare : public QObject {
    Q_OBJECT

private slots:
    void changedFileIsTheOnlyOneRead()
    {
        QTemporaryDir source, cache;
        for (int id = 1; id <= 5; ++id)
            WriteClaim(source.path(), QByteArray::number(id), 1, u"生徒"_qs + QString::number(id), QDate(2025, 9, 1),
                       {{2025, 9}, {2025, 10}});
        const QDateTime hourAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);
        Age(source.path(), hourAgo);
        testsupport::SlowMount share(source.path(), 1);
        if (!share.Mounted())
            QSKIP(qPrintable(share.WhyNot()));
        const auto throughCache = [&cache](const QString& w, const std::function<bool(int, int)>& progress) {
            return ReadAllClaimsThroughCache(w, cache.path(), progress);
        };
        const QList<QStringList> first = Lines(share.Path(), throughCache);
        QCOMPARE(first, Lines(source.path(), ReadAllClaims));
        const testsupport::SlowCounts before = share.Counts();
        QCOMPARE(before.opened.size(), 5);

        WriteClaim(source.path(), "3", 1, u"生徒3"_qs, QDate(2025, 9, 1), {{2025, 9}, {2025, 11}});
        Age(source.path(), hourAgo);   // the same time for the others; a later one for 3
        QFile changed(source.path() + u"/seikyu/請3-1.CSV"_qs);
        QVERIFY(changed.open(QIODevice::ReadWrite)
                && changed.setFileTime(hourAgo.addSecs(2), QFileDevice::FileModificationTime));
        QTest::qWait(1500);   // what the mount's client knew of the files is a second old, at most
        const QList<QStringList> second = Lines(share.Path(), throughCache);
        QCOMPARE(second, Lines(source.path(), ReadAllClaims));
        QVERIFY(second != first);
        QCOMPARE(share.Counts().Since(before).opened, QStringList{u"/seikyu/請3-1.CSV"_qs});
    }
};

KIBORU_GUI_TEST_MAIN(StatusOverShare)
#include "tst_status_over_share.moc"
