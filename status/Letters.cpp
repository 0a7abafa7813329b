#include "status/Letters.h"

#include "files/ShiftJis.h"
#include "output/PagePrint.h"
#include "status/StatusModel.h"

#include <QLocale>
#include <QPainter>
#include <QPrinter>

#include <algorithm>

using namespace claims;
using namespace output;

namespace status {
namespace {

// "2026/5/14" as the claim header gives it, written as a letter writes dates.
QString InjuryText(const ClaimOverview& claim)
{
    const QDate injured = QDate::fromString(claim.injuryDate, QStringLiteral("yyyy/M/d"));
    const QString date = injured.isValid() ? LetterDate(injured) : claim.injuryDate;
    return QStringList{date, claim.injury}.join(QStringLiteral("　")).trimmed();
}

// The months of one claim that go into each kind of letter.
void AddMonths(const ClaimOverview& claim, QDate date, Letter& payout, Letter& papers, QStringList& methods)
{
    for (const MonthStatus& m : claim.status.months) {
        if (m.AwaitsHandover()) {
            payout.months.append({m.month, InjuryText(claim), m.amount, {}});
            methods.append(m.payMethod.trimmed());
        } else if (m.state == ClaimState::AwaitingPapers && ClaimDeadline(m.month) >= date) {
            papers.months.append({m.month, InjuryText(claim), {}, ClaimDeadline(m.month)});
        }
    }
}

void FillStudent(const QByteArray& id, const QString& name, const QHash<QByteArray, RosterEntry>& roster, QDate date,
                 Letter& letter)
{
    letter.id = id;
    letter.student = name;
    const auto found = roster.constFind(id);
    letter.inRoster = found != roster.cend();
    if (!letter.inRoster)
        return;
    if (letter.student.isEmpty())
        letter.student = found->Text(4);
    letter.className = found->ClassOn(date);
    letter.guardian = found->Text(6);
    letter.address = found->Text(11);
}

bool ByMonth(const LetterMonth& a, const LetterMonth& b)
{
    return a.month < b.month;
}

} // namespace

qint64 Letter::Total() const
{
    qint64 total = 0;
    for (const LetterMonth& m : months)
        total += m.amount.value_or(0);
    return total;
}

QString LetterDate(QDate date)
{
    return date.toString(QStringLiteral("yyyy年M月d日"));
}

QString YenText(qint64 yen)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(yen) + QStringLiteral("円");
}

QString PayWaySentence(const QStringList& methods)
{
    const QString first = methods.value(0);
    const bool one = !first.isEmpty() && std::all_of(methods.begin(), methods.end(), [&](const QString& m) { return m == first; });
    if (one && first == u"振込")
        return QStringLiteral("給付金は、ご指定の口座へお振り込みいたします。");
    if (one && first == u"現金")
        return QStringLiteral("給付金は、学校の事務室で現金にてお渡しいたします。受け取りの際は印鑑をお持ち下さい。");
    if (one && first != u"その他")
        return QStringLiteral("給付金は、%1にてお渡しいたします。").arg(first);
    return QStringLiteral("給付金のお渡しの方法と日時は、学校からあらためてご連絡いたします。");
}

QList<Letter> BuildLetters(const QList<ClaimOverview>& claims, const QSet<QByteArray>& ids,
                           const QHash<QByteArray, RosterEntry>& roster, QDate date)
{
    QList<QByteArray> students(ids.begin(), ids.end());
    std::sort(students.begin(), students.end());
    QList<Letter> letters;
    for (const QByteArray& id : students) {
        Letter payout, papers;
        papers.kind = LetterKind::Papers;
        QStringList methods;
        QString name;
        for (const ClaimOverview& claim : claims) {
            if (claim.id != id)
                continue;
            name = name.isEmpty() ? claim.name.trimmed() : name;
            AddMonths(claim, date, payout, papers, methods);
        }
        payout.payWay = PayWaySentence(methods);
        for (Letter* letter : {&payout, &papers}) {
            if (letter->months.isEmpty())
                continue;
            std::stable_sort(letter->months.begin(), letter->months.end(), ByMonth);
            FillStudent(id, name, roster, date, *letter);
            letters.append(*letter);
        }
    }
    return letters;
}

QString RosterNotice(const QList<Letter>& letters, const QHash<QByteArray, RosterEntry>& roster)
{
    QStringList missing, several;
    QSet<QByteArray> seen;
    for (const Letter& letter : letters) {
        if (seen.contains(letter.id))
            continue;
        seen.insert(letter.id);
        const QString who = FromShiftJis(letter.id) + u' ' + letter.student;
        if (!letter.inRoster)
            missing.append(who);
        else if (const RosterEntry entry = roster.value(letter.id); !entry.alsoIn.isEmpty())
            several.append(QStringLiteral("%1（%2 を使用。ほかに %3）").arg(who, entry.roster, entry.alsoIn.join(u'、')));
    }
    QStringList parts;
    if (!missing.isEmpty())
        parts.append(QStringLiteral("名簿に見つからない生徒がいます。保護者名と住所なしで印刷します：\n")
                     + missing.join(u'\n'));
    if (!several.isEmpty())
        parts.append(QStringLiteral("複数の名簿にある生徒は、新しい入学年度の名簿から印刷します：\n")
                     + several.join(u'\n'));
    return parts.join(QStringLiteral("\n\n"));
}

LetterBatch PrepareLetters(const QString& workDir, const QList<ClaimOverview>& claims, const QSet<QByteArray>& ids,
                           QDate date)
{
    LetterBatch batch;
    QStringList problems;
    const QHash<QByteArray, RosterEntry> roster = FindStudentsById(workDir, ids, &problems);
    batch.letters = BuildLetters(claims, ids, roster, date);
    QStringList notes{RosterNotice(batch.letters, roster)};
    if (!problems.isEmpty())
        notes.append(QStringLiteral("読めない名簿があります：\n") + problems.join(u'\n'));
    const Result<Stamped<SchoolInfo>> school = ReadSchoolFile(workDir);
    if (school)
        batch.school = school->value;
    if (!school)
        notes.append(QStringLiteral("学校情報を読み込めません（%1）。学校名なしで印刷します。").arg(school.error().message));
    else if (batch.school.name.isEmpty())
        notes.append(QStringLiteral("学校情報が入力されていません。「学校情報」で学校名・住所・電話・担当者を入力して下さい。"));
    notes.removeAll(QString());
    batch.notice = notes.join(QStringLiteral("\n\n"));
    return batch;
}

namespace {

constexpr qreal kBodyPoints = 10.5;

// Date, addressee and sender: the head of every letter. Returns the y below it.
qreal DrawHead(Page& page, const Letter& letter, const SchoolInfo& school, QDate date)
{
    const QFont body = MinchoFont(kBodyPoints);
    page.Text({0, 0, page.width, 6}, Qt::AlignRight | Qt::AlignTop, LetterDate(date), body);
    qreal y = 10;
    y += page.Text({0, y, 95, 20}, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, letter.address, body) + 2;
    const QString guardian = letter.guardian.isEmpty() ? QStringLiteral("保護者") : letter.guardian;
    page.Text({0, std::max<qreal>(y, 20), 95, 8}, Qt::AlignLeft | Qt::AlignTop, guardian + QStringLiteral("　様"),
              MinchoFont(13));
    QStringList sender{school.name, school.address};
    if (!school.phone.isEmpty())
        sender.append(QStringLiteral("電話 ") + school.phone);
    if (!school.person.isEmpty())
        sender.append(QStringLiteral("担当 ") + school.person);
    sender.removeAll(QString());
    const qreal senderHeight = page.Text({page.width - 85, 34, 85, 30}, Qt::AlignRight | Qt::AlignTop | Qt::TextWordWrap,
                                         sender.join(u'\n'), body);
    return std::max<qreal>(60, 34 + senderHeight + 8);
}

QString Opening(const Letter& letter)
{
    const QString who = QStringList{letter.className, letter.student + QStringLiteral("さん")}.join(u' ').trimmed();
    if (letter.kind == LetterKind::Payout)
        return QStringLiteral("　日頃より本校の教育活動にご理解とご協力をいただき、ありがとうございます。\n"
                              "　%1の負傷について、日本スポーツ振興センターから災害共済給付金が支払われましたので、"
                              "下記のとおりお知らせいたします。").arg(who);
    return QStringLiteral("　日頃より本校の教育活動にご理解とご協力をいただき、ありがとうございます。\n"
                          "　%1の負傷について、災害共済給付金を請求するには、医療機関等で証明を受けた"
                          "「医療等の状況」が必要です。下記の月の分をまだお預かりしておりませんので、"
                          "提出期限までに学校へご提出下さいますようお願いいたします。").arg(who);
}

QList<QStringList> TableRows(const Letter& letter)
{
    const bool payout = letter.kind == LetterKind::Payout;
    QList<QStringList> rows{{QStringLiteral("診療月"), QStringLiteral("負傷・疾病"),
                             payout ? QStringLiteral("支払額") : QStringLiteral("提出期限")}};
    for (const LetterMonth& m : letter.months)
        rows.append({MonthText(m.month), m.injury,
                     payout ? (m.amount ? YenText(*m.amount) : QString()) : LetterDate(m.deadline)});
    if (payout)
        rows.append({QStringLiteral("合計"), QString(), YenText(letter.Total())});
    return rows;
}

// A table too long for the page goes on over the next, the closing lines below its end.
void DrawLetter(QPrinter& printer, Page& page, const Letter& letter, const SchoolInfo& school, QDate date)
{
    qreal y = DrawHead(page, letter, school, date);
    const bool payout = letter.kind == LetterKind::Payout;
    const QString title = payout ? QStringLiteral("災害共済給付金のお知らせ") : QStringLiteral("医療等の状況のご提出のお願い");
    page.Text({0, y, page.width, 10}, Qt::AlignHCenter | Qt::AlignVCenter, title, MinchoFont(16, true));
    y += 16;
    const QFont body = MinchoFont(kBodyPoints);
    y += page.Text({0, y, page.width, 40}, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, Opening(letter), body) + 5;
    page.Text({0, y, page.width, 7}, Qt::AlignHCenter | Qt::AlignTop, QStringLiteral("記"), body);
    y += 10;
    const Grid grid{{30, page.width - 70, 40}, {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight}, 7, body,
                    MinchoFont(kBodyPoints, true)};
    y = DrawGridOverPages(printer, page, y, 30, grid, TableRows(letter)) + 6;
    const QString closing = payout ? letter.payWay
                                   : QStringLiteral("提出期限を過ぎると、その月の給付を受けられなくなります。"
                                                    "ご不明な点は学校までお問い合わせ下さい。");
    y += page.Text({0, y, page.width, 30}, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, u'　' + closing, body) + 6;
    page.Text({0, y, page.width, 7}, Qt::AlignRight | Qt::AlignTop, QStringLiteral("以上"), body);
}

// The receipt: addressed to the school, signed by the guardian. The table
// goes on over pages as a letter's does; the lines to sign stay below it.
void DrawReceipt(QPrinter& printer, Page& page, const Letter& letter, const SchoolInfo& school)
{
    const QFont body = MinchoFont(kBodyPoints);
    const QFont large = MinchoFont(13);
    page.Text({0, 0, page.width, 12}, Qt::AlignHCenter | Qt::AlignVCenter, QStringLiteral("災害共済給付金受領書"),
              MinchoFont(18, true));
    const QString to = school.name.isEmpty() ? QStringLiteral("学校長") : school.name + QStringLiteral("長");
    qreal y = 22;
    page.Text({0, y, page.width, 8}, Qt::AlignLeft | Qt::AlignTop, to + QStringLiteral("　様"), large);
    y += 14;
    const QString who = QStringList{letter.className, letter.student}.join(QStringLiteral("　")).trimmed();
    y += page.Text({0, y, page.width, 8}, Qt::AlignLeft | Qt::AlignTop,
                   QStringLiteral("生徒　%1（ID %2）").arg(who, FromShiftJis(letter.id)), body) + 4;
    y += page.Text({0, y, page.width, 16}, Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap,
                   QStringLiteral("　下記の災害共済給付金を受領しました。"), body) + 6;
    const Grid grid{{30, page.width - 70, 40}, {Qt::AlignLeft, Qt::AlignLeft, Qt::AlignRight}, 8, body,
                    MinchoFont(kBodyPoints, true)};
    y = DrawGridOverPages(printer, page, y, 70, grid, TableRows(letter)) + 16;
    const qreal left = page.width - 120;
    page.Text({left, y, 120, 8}, Qt::AlignLeft | Qt::AlignVCenter,
              QStringLiteral("受領日　　　　　　年　　　月　　　日"), large);
    y += 18;
    page.Text({left, y, 30, 8}, Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("保護者氏名"), large);
    page.painter.setPen(QPen(Qt::black, page.Px(0.3)));
    page.painter.drawLine(QPointF(page.Px(left + 30), page.Px(y + 8)), QPointF(page.Px(page.width - 14), page.Px(y + 8)));
    const QRectF seal = page.Rect(page.width - 12, y - 2, 12, 12);
    page.painter.drawEllipse(seal);
    page.Text({page.width - 12, y - 2, 12, 12}, Qt::AlignCenter, QStringLiteral("印"), body);
}

void DrawPages(QPrinter& printer, const QList<Letter>& letters, const SchoolInfo& school, QDate date, bool letterPages,
               bool receiptPages)
{
    SetUpA4(printer, 20);
    QPainter painter(&printer);
    if (!painter.isActive())
        return;
    Page page(painter, printer);
    bool first = true;
    const auto startPage = [&] {
        if (!first)
            printer.newPage();
        first = false;
    };
    for (const Letter& letter : letters) {
        if (letterPages) {
            startPage();
            DrawLetter(printer, page, letter, school, date);
        }
        if (receiptPages && letter.kind == LetterKind::Payout) {
            startPage();
            DrawReceipt(printer, page, letter, school);
        }
    }
}

} // namespace

void PrintLetters(QPrinter& printer, const QList<Letter>& letters, const SchoolInfo& school, QDate date,
                  bool withReceipts)
{
    DrawPages(printer, letters, school, date, true, withReceipts);
}

void PrintReceipts(QPrinter& printer, const QList<Letter>& letters, const SchoolInfo& school, QDate date)
{
    DrawPages(printer, letters, school, date, false, true);
}

} // namespace status
