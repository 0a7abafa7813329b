#include "history/HistoryDetail.h"

#include "files/ShiftJis.h"

using namespace claims;

namespace history {
namespace {

const QString kMarked = QStringLiteral("color:#C00000; font-weight:bold;");

// A text of the version; marked, with the current one beside it, when the
// file holds another now.
// A treatment line's current one goes below it.
QString Shown(const QString& text, const std::optional<QString>& now, const QString& between = QStringLiteral("　"))
{
    if (!now || *now == text)
        return text.toHtmlEscaped();
    return QStringLiteral("<span style=\"%1\">%2</span>%3<span style=\"color:#C00000;\">現在：%4</span>")
        .arg(kMarked, text.toHtmlEscaped(), between, now->toHtmlEscaped());
}

std::optional<QString> At(const std::optional<QStringList>& texts, int i)
{
    if (!texts)
        return std::nullopt;
    return i < texts->size() ? texts->at(i) : QString();
}

QString FieldRows(const QList<ShownField>& fields, const std::optional<QList<ShownField>>& now)
{
    QString rows;
    for (int i = 0; i < fields.size(); ++i) {
        std::optional<QString> current;
        if (now)
            current = i < now->size() ? now->at(i).text : QString();
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(fields[i].caption.toHtmlEscaped(),
                                                                     Shown(fields[i].text, current));
    }
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">%1</table>").arg(rows);
}

QString ClaimBody(const QByteArray& bytes, const std::optional<QByteArray>& current)
{
    std::optional<QList<ShownField>> fieldsNow;
    std::optional<QStringList> linesNow;
    if (current) {
        fieldsNow = ClaimFieldsShown(*current);
        linesNow = TreatmentLinesShown(*current);
    }
    QStringList lines;
    const QStringList treatment = TreatmentLinesShown(bytes);
    for (int i = 0; i < treatment.size(); ++i)
        lines << Shown(treatment[i], At(linesNow, i), QStringLiteral("<br>"));
    return FieldRows(ClaimFieldsShown(bytes), fieldsNow) + QStringLiteral("<p style=\"white-space:pre; font-size:13px;\">")
           + lines.join(QStringLiteral("<br>")) + QStringLiteral("</p>");
}

// The months of the version, each against the same month now; months
// recorded only now follow.
QString StatusBody(const QByteArray& bytes, const std::optional<QByteArray>& current)
{
    const QList<ShownField> months = StatusMonthsShown(bytes);
    QList<ShownField> now = current ? StatusMonthsShown(*current) : QList<ShownField>();
    QString rows;
    for (const ShownField& month : months) {
        std::optional<QString> text;
        if (current) {
            auto same = std::find_if(now.begin(), now.end(), [&](const ShownField& m) { return m.caption == month.caption; });
            text = same == now.end() ? QStringLiteral("なし") : same->text;
            if (same != now.end())
                now.erase(same);
        }
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(month.caption, Shown(month.text, text));
    }
    for (const ShownField& month : now)
        rows += QStringLiteral("<tr><td>%1</td><td>%2</td></tr>").arg(month.caption, Shown(QStringLiteral("なし"), month.text));
    if (rows.isEmpty())
        rows = QStringLiteral("<tr><td>記録された月はありません。</td></tr>");
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\">%1</table>").arg(rows);
}

} // namespace

QString DetailHtml(const HistoryListing& listing, int version, const QByteArray& bytes,
                   const std::optional<QByteArray>& current)
{
    const HistoryVersion& v = listing.versions[version];
    const HistoryFile& file = listing.files[v.file];
    QString html = QStringLiteral("<p><b>%1　%2 %3 %4回目</b><br>%5　%6 の版</p>")
                       .arg(HistoryKindText(file.kind), FromShiftJis(file.id).toHtmlEscaped(), file.name.toHtmlEscaped())
                       .arg(file.occurrence)
                       .arg(VersionTimeText(v.fileName), VersionPc(v.fileName).toHtmlEscaped());
    if (!current)
        html += QStringLiteral("<p style=\"%1\">今はこのファイルがありません（削除されています）。</p>").arg(kMarked);
    return html + (file.kind == HistoryKind::Claim ? ClaimBody(bytes, current) : StatusBody(bytes, current));
}

} // namespace history
