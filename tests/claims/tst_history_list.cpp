// Reading the history: the versions of every claim and status file, newest
// first, also of files that are gone; and what each save changed.

#include "claimstatus/HistoryList.h"
#include "claimstatus/StatusFile.h"
#include "tests/claims/HistoryFixture.h"
#include "tests/claims/TestSupport.h"

#include <QTemporaryDir>
#include <QTest>

using namespace claims;
using namespace historytest;

namespace {

QByteArray Status(const QList<MonthStatus>& months)
{
    StatusFile file;
    for (const MonthStatus& m : months)
        file.Edit(m.month) = m;
    return FormatStatusFile(file).value_or("<unencodable>");
}

MonthStatus Month(ClaimState state, std::optional<qint64> amount = std::nullopt)
{
    MonthStatus m;
    m.month = {2024, 6};
    m.state = state;
    m.amount = amount;
    return m;
}

} // namespace

class HistoryListTest : public QObject {
    Q_OBJECT

private slots:
    void listsEveryVersionNewestFirst();
    void summaryTellsWhatTheNextSaveChanged_data();
    void summaryTellsWhatTheNextSaveChanged();
};

void HistoryListTest::listsEveryVersionNewestFirst()
{
    QTemporaryDir dir;
    const QString w = dir.path();
    Put(w, u"seikyu/請100-1.CSV"_qs, Claim(u"山田太郎"_qs, u"骨折"_qs));
    PutVersion(w, u"seikyu"_qs, u"請100-1"_qs, u"20261201-090000-001"_qs, Claim(u"山田太郎"_qs, u"捻挫"_qs));
    PutVersion(w, u"seikyu"_qs, u"請100-1"_qs, u"20261205-090000-001"_qs, Claim(u"山田太郎"_qs, u"打撲"_qs));
    // Gone from seikyu: the name comes from its newest version.
    PutVersion(w, u"seikyu"_qs, u"請200-2"_qs, u"20261203-120000-500"_qs, Claim(u"佐藤次郎"_qs, u"打撲"_qs, {}, "200", 2));
    PutVersion(w, u"seikyu"_qs, u"請200-2"_qs, u"20261202-120000-500"_qs, Claim(u"佐藤花子"_qs, u"打撲"_qs, {}, "200", 2));
    PutVersion(w, u"請求状況"_qs, u"請100-1"_qs, u"20261204-101010-010"_qs, Status({Month(ClaimState::Claimed)}));
    // Not versions: a save's temporary file, locks, other names and folders.
    const QString kept = u"履歴/seikyu/請100-1/"_qs;
    for (const QString& other : {u".kiboru-1a2b.tmp"_qs, u"20261206-090000-001-PC.CSV.lock"_qs, u"memo.txt"_qs,
                                 u"20261206-0900-001-PC.CSV"_qs})
        Put(w, kept + other, "x");
    Put(w, u"履歴/seikyu/請100/20261206-090000-001-PC.CSV"_qs, "x");
    const HistoryListing listing = ReadHistory(w);
    QStringList lines;
    for (int i = 0; i < listing.versions.size(); ++i) {
        const HistoryVersion& v = listing.versions[i];
        const HistoryFile& f = listing.files[v.file];
        lines << QStringList{VersionTimeText(v.fileName), VersionPc(v.fileName), HistoryKindText(f.kind),
                             FromShiftJis(f.id), QString::number(f.occurrence), f.name,
                             f.currentExists ? u"あり"_qs : u"なし"_qs, QString::number(v.newer)}
                     .join(u' ');
    }
    QCOMPARE(lines, (QStringList{u"2026/12/05 09:00:00 JIMU-PC1 請求 100 1 山田太郎 あり -1"_qs,
                                 u"2026/12/04 10:10:10 JIMU-PC1 請求状況 100 1 山田太郎 なし -1"_qs,
                                 u"2026/12/03 12:00:00 JIMU-PC1 請求 200 2 佐藤次郎 なし -1"_qs,
                                 u"2026/12/02 12:00:00 JIMU-PC1 請求 200 2 佐藤次郎 なし 2"_qs,
                                 u"2026/12/01 09:00:00 JIMU-PC1 請求 100 1 山田太郎 あり 0"_qs}));
    QCOMPARE(listing.files[listing.versions[2].file].currentPath, w + u"/seikyu/請200-2.CSV"_qs);
    QCOMPARE(listing.files[listing.versions[1].file].currentPath, w + u"/請求状況/請100-1.CSV"_qs);
    QCOMPARE(SummaryOf(listing, 4), u"傷病名 捻挫→打撲"_qs);
    QCOMPARE(SummaryOf(listing, 0), u"傷病名 打撲→骨折"_qs);
    QCOMPARE(SummaryOf(listing, 2), u"削除"_qs);
}

void HistoryListTest::summaryTellsWhatTheNextSaveChanged_data()
{
    QTest::addColumn<bool>("claim");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<std::optional<QByteArray>>("after");
    QTest::addColumn<QString>("summary");
    const QByteArray sprain = Claim(u"山田太郎"_qs, u"捻挫"_qs, {{2011, 10}, {2012, 1}});
    QTest::newRow("header field") << true << sprain << std::optional(Claim(u"山田太郎"_qs, u"骨折"_qs, {{2011, 10}, {2012, 1}}))
                                  << u"傷病名 捻挫→骨折"_qs;
    QTest::newRow("month unmarked") << true << sprain << std::optional(Claim(u"山田太郎"_qs, u"捻挫"_qs, {{2012, 1}}))
                                    << u"2011年10月 ◎→－"_qs;
    QTest::newRow("name and months, cut after three")
        << true << sprain << std::optional(Claim(u"山田花子"_qs, u"捻挫"_qs, {{2011, 11}, {2011, 12}}))
        << u"氏名 山田太郎→山田花子、2011年10月 ◎→－、2011年11月 －→◎…"_qs;
    QTest::newRow("nothing before") << true << QByteArray("\r\n") << std::optional(sprain) << u"新規"_qs;
    QTest::newRow("file gone") << true << sprain << std::optional<QByteArray>() << u"削除"_qs;
    QTest::newRow("same claim") << true << sprain << std::optional(sprain) << u"変更なし"_qs;
    QTest::newRow("status state")
        << false << Status({Month(ClaimState::AwaitingPapers)}) << std::optional(Status({Month(ClaimState::Claimed)}))
        << u"2024年6月 書類待ち→請求済"_qs;
    QTest::newRow("status state and amount")
        << false << Status({Month(ClaimState::Claimed)}) << std::optional(Status({Month(ClaimState::Paid, 12340)}))
        << u"2024年6月 請求済→支払済、支払額 →12,340"_qs;
    QTest::newRow("status month removed")
        << false << Status({Month(ClaimState::Paid)}) << std::optional(Status({})) << u"2024年6月 支払済→未請求"_qs;
    QTest::newRow("status first months") << false << Status({}) << std::optional(Status({Month(ClaimState::Paid)}))
                                         << u"新規"_qs;
}

void HistoryListTest::summaryTellsWhatTheNextSaveChanged()
{
    QFETCH(bool, claim);
    QFETCH(QByteArray, before);
    QFETCH(std::optional<QByteArray>, after);
    QFETCH(QString, summary);
    QCOMPARE(ChangeSummary(claim ? HistoryKind::Claim : HistoryKind::Status, before, after), summary);
}

QTEST_GUILESS_MAIN(HistoryListTest)
#include "tst_history_list.moc"
