// The deadline list's cache on this PC: what it takes from the cache and
// what it reads again after each kind of change between two openings.

#include "claimstatus/HistoryList.h"
#include "claimstatus/ListingCache.h"
#include "claimstatus/StatusFile.h"

#include "TestSupport.h"

#include <QCryptographicHash>
#include <QDateTime>
#include <QTemporaryDir>
#include <QtTest>

using namespace claims;
using ktest::Sj;

namespace {

const QDateTime kLongAgo = QDateTime::currentDateTimeUtc().addSecs(-3600);

QByteArray Claim(const QString& name, const QString& title)
{
    return Sj(title + u',' + name + u",男\r\n"_qs);
}

QByteArray Status(const QString& state)
{
    return Sj(u"診療年,診療月,状況,請求日,点数,支払日,支払額,メモ\r\n2025,4,"_qs + state + u",,,,,\r\n"_qs);
}

// Writes the file and gives it the time of last write.
bool Write(const QString& path, const QByteArray& bytes, const QDateTime& time)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.flush()
           && file.setFileTime(time, QFileDevice::FileModificationTime);
}

// "<ID>-<n> <name> <state of April 2025>" for each claim listed.
QStringList Shown(const ClaimListing& listing)
{
    QStringList lines;
    for (const ClaimOverview& claim : listing.claims) {
        const MonthStatus* april = claim.status.Find({2025, 4});
        lines.append(QStringLiteral("%1-%2 %3 %4")
                         .arg(QString::fromLatin1(claim.id))
                         .arg(claim.occurrence)
                         .arg(claim.name, april ? StateText(april->state) : QStringLiteral("-")));
    }
    return lines;
}

// The cache file rewritten with its version changed and a checksum that fits.
void ChangeVersion(const QString& path)
{
    QByteArray data = ktest::ReadBytes(path);
    data.chop(32);
    data[7] = char(data[7] + 1);   // the version's last byte, after the 4-byte magic
    data += QCryptographicHash::hash(data, QCryptographicHash::Sha256);
    QVERIFY(ktest::WriteBytes(path, data));
}

} // namespace

class ListingCacheTest : public QObject {
    Q_OBJECT

private slots:
    void secondOpeningReadsWhatChanged_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<QStringList>("shown");
        const QStringList kept{u"1-1 山田 請求済"_qs, u"2-1 佐藤 -"_qs};
        const QStringList read{u"1-1 川田 請求済"_qs, u"2-1 佐藤 -"_qs};
        QTest::newRow("listing unchanged: what was kept") << u"same size and time"_qs << kept;
        QTest::newRow("changed size") << u"size"_qs << QStringList{u"1-1 川田一 請求済"_qs, u"2-1 佐藤 -"_qs};
        QTest::newRow("changed time") << u"time"_qs << read;
        QTest::newRow("new file") << u"new"_qs << QStringList{kept[0], kept[1], u"3-1 鈴木 -"_qs};
        QTest::newRow("removed file") << u"removed"_qs << QStringList{kept[0]};
        QTest::newRow("status file changed") << u"status"_qs << QStringList{u"1-1 山田 書類待ち"_qs, kept[1]};
        QTest::newRow("damaged cache") << u"damaged"_qs << read;
        QTest::newRow("cache of another folder") << u"foreign"_qs << read;
        QTest::newRow("cache of another version") << u"version"_qs << read;
        QTest::newRow("written just before the listing") << u"fresh"_qs << read;
    }

    // Every change but the first is made with the claim's time of last
    // write put back, so that only the listing's size, or no listing at
    // all, can tell the cache of it.
    void secondOpeningReadsWhatChanged()
    {
        QFETCH(QString, change);
        QFETCH(QStringList, shown);
        QTemporaryDir work, other, cache;
        const QString seikyu = work.path() + u"/seikyu"_qs, status = work.path() + u"/請求状況"_qs;
        QVERIFY(QDir(work.path()).mkdir(u"seikyu"_qs) && QDir(work.path()).mkdir(u"請求状況"_qs));
        const QString one = seikyu + u"/請1-1.CSV"_qs;
        const QDateTime oneTime = change == u"fresh" ? QDateTime::currentDateTimeUtc() : kLongAgo;
        QVERIFY(Write(one, Claim(u"山田"_qs, u"請1-1.CSV"_qs), oneTime));
        QVERIFY(Write(seikyu + u"/請2-1.CSV"_qs, Claim(u"佐藤"_qs, u"請2-1.CSV"_qs), kLongAgo));
        QVERIFY(Write(status + u"/請1-1.CSV"_qs, Status(u"請求済"_qs), kLongAgo));
        QCOMPARE(Shown(ReadAllClaimsThroughCache(work.path(), cache.path())),
                 (QStringList{u"1-1 山田 請求済"_qs, u"2-1 佐藤 -"_qs}));

        const QString cacheFile = ListingCachePath(cache.path(), work.path());
        QVERIFY(Write(one, Claim(change == u"size" ? u"川田一"_qs : u"川田"_qs, u"請1-1.CSV"_qs),
                      change == u"time" ? oneTime.addSecs(2) : oneTime));
        if (change == u"new")
            QVERIFY(Write(seikyu + u"/請3-1.CSV"_qs, Claim(u"鈴木"_qs, u"請3-1.CSV"_qs), kLongAgo));
        if (change == u"removed")
            QVERIFY(QFile::remove(seikyu + u"/請2-1.CSV"_qs));
        if (change == u"status")
            QVERIFY(Write(status + u"/請1-1.CSV"_qs, Status(u"書類待ち"_qs), kLongAgo));
        if (change == u"damaged") {
            QByteArray bytes = ktest::ReadBytes(cacheFile);
            bytes[bytes.size() / 2] = char(bytes[bytes.size() / 2] ^ 1);
            QVERIFY(ktest::WriteBytes(cacheFile, bytes));
        }
        if (change == u"foreign") {
            QVERIFY(QDir(other.path()).mkdir(u"seikyu"_qs));
            QVERIFY(Write(other.path() + u"/seikyu/請1-1.CSV"_qs, Claim(u"山田"_qs, u"請1-1.CSV"_qs), kLongAgo));
            ReadAllClaimsThroughCache(other.path(), cache.path());
            QVERIFY(QFile::remove(cacheFile));
            QVERIFY(QFile::rename(ListingCachePath(cache.path(), other.path()), cacheFile));
        }
        if (change == u"version")
            ChangeVersion(cacheFile);
        QCOMPARE(Shown(ReadAllClaimsThroughCache(work.path(), cache.path())), shown);
        QCOMPARE(ktest::Entries(work.path()), (QStringList{u"seikyu"_qs, u"請求状況"_qs}));
        QCOMPARE(Shown(ReadAllClaimsThroughCache(work.path(), cache.path())), shown);   // the cache made again
    }

    // The history takes a student's name from the cache while the claim
    // file's listing is the same, and reads the file without a cache.
    void historyTakesNamesFromTheCache()
    {
        QTemporaryDir work, cache;
        const QString one = work.path() + u"/seikyu/請1-1.CSV"_qs;
        QVERIFY(QDir(work.path()).mkpath(u"seikyu"_qs) && QDir(work.path()).mkpath(u"履歴/seikyu/請1-1"_qs));
        QVERIFY(Write(one, Claim(u"山田"_qs, u"請1-1.CSV"_qs), kLongAgo));
        QVERIFY(ktest::WriteBytes(work.path() + u"/履歴/seikyu/請1-1/20261203-120000-500-PC1.CSV"_qs, "old"));
        ReadAllClaimsThroughCache(work.path(), cache.path());
        QVERIFY(Write(one, Claim(u"川田"_qs, u"請1-1.CSV"_qs), kLongAgo));
        const HistoryListing kept = ReadHistory(work.path(), {}, cache.path());
        const HistoryListing read = ReadHistory(work.path());
        QCOMPARE(kept.files.size(), 1);
        QCOMPARE(kept.files[0].name, u"山田"_qs);
        QCOMPARE(read.files[0].name, u"川田"_qs);
    }

    // The header's texts come from the cache as they were read: the second
    // claim file has the same size and time, so only the cache can give
    // the first one's texts.
    void headerTextsComeFromTheCache()
    {
        QTemporaryDir work, cache;
        const QString one = work.path() + u"/seikyu/請1-1.CSV"_qs;
        QVERIFY(QDir(work.path()).mkpath(u"seikyu"_qs));
        auto header = [](const QString& texts) { return Sj(u"請1-1,山田,男\r\n2025,5,1,木,済,"_qs + texts + u"\r\n"_qs); };
        auto texts = [&] {
            const ClaimOverview c = ReadAllClaimsThroughCache(work.path(), cache.path()).claims.value(0);
            return QStringList{c.injury, c.bodyPart, c.situation, c.club, c.place};
        };
        const QStringList first{u"捻挫"_qs, u"足関節部"_qs, u"部活中"_qs, u"野球"_qs, u"校舎外その他"_qs};
        QVERIFY(Write(one, header(first.join(u',')), kLongAgo));
        QCOMPARE(texts(), first);
        QVERIFY(Write(one, header(u"骨折,手関節部,授業中,剣道,学校外その他"_qs), kLongAgo));
        QCOMPARE(texts(), first);
    }
};

QTEST_GUILESS_MAIN(ListingCacheTest)
#include "tst_listing_cache.moc"
