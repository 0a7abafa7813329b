#include "rosters/RosterImport.h"

#include "store/FileNames.h"
#include "files/Csv.h"
#include "rosters/Kana.h"
#include "files/ShiftJis.h"

#include <QHash>

#include <algorithm>
#include <QRegularExpression>
#include <QStringDecoder>

namespace claims {
namespace {

enum Field { Id, Class3, Class2, Class1, Name, Reading, Guardian, School, Sex, Course, Birth, Address };

struct Decoded {
    QString text;
    ExportEncoding encoding;
};

QString DecodeWith(QStringConverter::Encoding encoding, QByteArrayView bytes, bool* failed = nullptr)
{
    QStringDecoder decoder(encoding, QStringConverter::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (failed)
        *failed = decoder.hasError();
    return text;
}

Decoded DecodeExport(QByteArrayView bytes)
{
    if (bytes.startsWith("\xFF\xFE"))
        return {DecodeWith(QStringConverter::Utf16LE, bytes.sliced(2)), ExportEncoding::Utf16LE};
    if (bytes.startsWith("\xFE\xFF"))
        return {DecodeWith(QStringConverter::Utf16BE, bytes.sliced(2)), ExportEncoding::Utf16BE};
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {DecodeWith(QStringConverter::Utf8, bytes.sliced(3)), ExportEncoding::Utf8WithMark};
    const bool ascii = std::all_of(bytes.begin(), bytes.end(), [](char c) { return uchar(c) < 0x80; });
    bool failed = true;
    QString text = ascii ? QString() : DecodeWith(QStringConverter::Utf8, bytes, &failed);
    if (!failed)
        return {text, ExportEncoding::Utf8};
    return {FromShiftJis(bytes), ExportEncoding::ShiftJis};
}

char SeparatorOf(QStringView text)
{
    const QStringView header = text.left(text.indexOf(u'\n'));
    return header.count(u'\t') > header.count(u',') ? '\t' : ',';
}

// A header name as it is compared: half-width and full-width forms alike,
// without blanks, katakana as hiragana, lower case.
QString HeaderKey(const QString& name)
{
    QString key = Hiragana(name.normalized(QString::NormalizationForm_KC)).toLower();
    key.remove(QRegularExpression(QStringLiteral("[\\s\u3000]")));
    return key;
}

// Each field's header names, the best first: a bare 番号 is the ID only
// when no other column names it, for it is often the number in the class.
struct FieldNames {
    int field;
    QStringList keys;
};

const QList<FieldNames>& NamedFields()
{
    static const QList<FieldNames> names = {
        {Id, {"学籍番号", "生徒番号", "id番号", "id", "番号"}},
        {Name, {"氏名", "生徒氏名", "名前", "生徒名"}},
        {Reading, {"ふりがな", "よみ", "読み", "かな", "氏名かな", "よみがな", "氏名ふりがな"}},
        {Guardian, {"保護者", "保護者氏名", "保護者名"}},
        {School, {"出身中学", "出身校", "出身学校", "出身中学校"}},
        {Sex, {"性別"}},
        {Course, {"学科", "こーす"}},
        {Birth, {"生年月日"}},
        {Address, {"住所"}},
    };
    return names;
}

int ClassFieldOfYear(int year)
{
    return Class3 + (3 - year);
}

int YearIn(const QString& text)
{
    static const QRegularExpression year(QStringLiteral("([1-3])年"));
    const QRegularExpressionMatch m = year.match(AsciiDigits(text));
    return m.hasMatch() ? m.captured(1).toInt() : 0;
}

// The year of a bare class column: the first row's 学年, or its own 「3年2組」.
int YearOfClassColumn(const ExportTable& table, int column)
{
    if (table.rows.isEmpty())
        return 1;
    const QStringList& first = table.rows.first().fields;
    int grade = kNoColumn;
    for (int k = 0; k < int(table.header.size()) && grade == kNoColumn; ++k)
        grade = HeaderKey(table.header[k]) == u"学年" ? k : kNoColumn;
    if (grade >= 0 && grade < first.size()) {
        const QString value = AsciiDigits(TrimmedBlanks(first[grade]));
        if (value.size() >= 1 && value[0] >= u'1' && value[0] <= u'3')
            return value[0].digitValue();
    }
    const int year = column < first.size() ? YearIn(first[column]) : 0;
    return year ? year : 1;
}

// The field a header names and how well: rank 0 is its best name.
struct HeaderMatch {
    int field = kNoColumn;
    int rank = 0;
};

HeaderMatch MatchOfHeader(const ExportTable& table, int column)
{
    const QString key = HeaderKey(table.header[column]);
    for (const FieldNames& names : NamedFields()) {
        if (const int rank = int(names.keys.indexOf(key)); rank >= 0)
            return {names.field, rank};
    }
    static const QRegularExpression classOfYear(QStringLiteral("^(?:([1-3])年生?)?(組|くらす|学級)$"));
    const QRegularExpressionMatch m = classOfYear.match(key);
    if (!m.hasMatch())
        return {};
    return {ClassFieldOfYear(m.captured(1).isEmpty() ? YearOfClassColumn(table, column) : m.captured(1).toInt())};
}

bool IsClassNumberColumn(const ExportTable& table, int column)
{
    return column >= 0 && column < int(table.header.size()) && HeaderKey(table.header[column]) == u"番号";
}

} // namespace

ExportTable ReadExport(QByteArrayView bytes)
{
    const Decoded decoded = DecodeExport(bytes);
    ExportTable table;
    table.encoding = decoded.encoding;
    table.separator = SeparatorOf(decoded.text);
    const QList<CsvRecord> records = ReadCsv(decoded.text.toUtf8(), table.separator);
    for (qsizetype i = 0; i < records.size(); ++i) {
        const CsvRecord& record = records[i];
        ExportRow row{record.line, {}, record.broken};
        bool blank = true;
        for (const QByteArray& field : record.fields) {
            row.fields.append(QString::fromUtf8(field));
            blank = blank && TrimmedBlanks(row.fields.last()).isEmpty();
        }
        if (i == 0)
            table.header = row.fields;
        else if (!blank)
            table.rows.append(row);
    }
    return table;
}

ColumnChoice GuessColumns(const ExportTable& table)
{
    ColumnChoice columns;
    columns.fill(kNoColumn);
    std::array<int, TStudentRecord::FieldCount> ranks{};
    for (int column = 0; column < int(table.header.size()); ++column) {
        const HeaderMatch match = MatchOfHeader(table, column);
        if (match.field == kNoColumn)
            continue;
        if (columns[match.field] == kNoColumn || match.rank < ranks[match.field]) {
            columns[match.field] = column;
            ranks[match.field] = match.rank;
        }
    }
    return columns;
}

QStringList RosterFieldNames()
{
    return {"ID番号", "3年組", "2年組", "1年組", "氏名", "ふりがな",
            "保護者", "出身中学", "性別", "学科", "生年月日", "住所"};
}

QString RosterHeaderLine()
{
    return QStringLiteral("ID番号,３年クラス,２年クラス,１年クラス,氏名,ふりがな,保護者,出身中学校,性別,学科,生年月日,住所");
}

namespace {

QString NormalisedField(int field, const QString& text)
{
    switch (field) {
    case Reading:
        return OneFullWidthSpace(Hiragana(text));
    case Name:
    case Guardian:
        return OneFullWidthSpace(text);
    case Class3:
    case Class2:
    case Class1:
        return RosterClass(TrimmedBlanks(text), 3 - (field - Class3));
    case Birth:
        return RosterDate(TrimmedBlanks(text));
    default:
        return TrimmedBlanks(text);
    }
}

// The first character (a surrogate pair counts as one) that Shift-JIS
// cannot hold, or an empty text.
QString FirstUnwritable(const QString& text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text[i].isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QStringView c = QStringView(text).sliced(i, length);
        if (!ToShiftJis(c))
            return c.toString();
        i += length - 1;
    }
    return QString();
}

QString FieldProblem(const QString& name, const QString& text)
{
    if (text.contains(u','))
        return QStringLiteral("「%1」にカンマがあります").arg(name);
    if (text.contains(u'\r') || text.contains(u'\n'))
        return QStringLiteral("「%1」に改行があります").arg(name);
    // A NUL byte would end the roster where it stands when it is read.
    if (std::any_of(text.begin(), text.end(), [](QChar c) { return c.unicode() < 0x20 && c != u'\t'; }))
        return QStringLiteral("「%1」に制御文字があります").arg(name);
    if (const QString c = FirstUnwritable(text); !c.isEmpty())
        return QStringLiteral("「%1」の「%2」はShift-JISで書けない文字です").arg(name, c);
    return QString();
}

struct Candidate {
    int line = 0;
    QStringList fields;
    QStringList why;
};

Candidate CandidateOf(const ExportRow& row, const ColumnChoice& columns)
{
    static const QStringList names = RosterFieldNames();
    Candidate c{row.line, {}, {}};
    if (row.broken)
        c.why << QStringLiteral("引用符（\"）が閉じていません");
    for (int field = 0; field < TStudentRecord::FieldCount; ++field) {
        const int column = columns[field];
        const QString text = column >= 0 && column < row.fields.size() ? row.fields[column] : QString();
        c.fields << NormalisedField(field, text);
        if (const QString why = FieldProblem(names[field], c.fields.last()); !why.isEmpty())
            c.why << why;
    }
    const QString& id = c.fields[Id];
    if (id.isEmpty())
        c.why << QStringLiteral("ID番号がありません");
    else if (const auto bytes = ToShiftJis(id); bytes && !IsUsableStudentId(*bytes))
        c.why << QStringLiteral("ID番号「%1」は請求ファイルの名前に使えません").arg(id);
    if (c.fields[Reading].isEmpty())
        c.why << QStringLiteral("ふりがながありません");
    return c;
}

QString ClassesOf(const Candidate& c)
{
    return QStringList{c.fields[Class3], c.fields[Class2], c.fields[Class1]}.join(u',');
}

// An ID column named 番号 whose values stand in several classes holds the
// number in the class, not the student's ID.
QString ClassNumberHint(const QList<Candidate>& candidates, const QList<int>& lines)
{
    for (int i : lines) {
        if (ClassesOf(candidates[i]) != ClassesOf(candidates[lines[0]]))
            return QStringLiteral("（「番号」は組の中の番号のようです。ID番号には学籍番号の列を選んで下さい）");
    }
    return QString();
}

// Every line of an ID that stands on several lines is a problem: which of
// them is the student's cannot be told.
void MarkDuplicateIds(QList<Candidate>& candidates, bool idIsClassNumber)
{
    QHash<QString, QList<int>> byId;
    for (int i = 0; i < int(candidates.size()); ++i) {
        if (!candidates[i].fields[Id].isEmpty())
            byId[candidates[i].fields[Id]].append(i);
    }
    for (auto it = byId.cbegin(); it != byId.cend(); ++it) {
        const QList<int>& lines = it.value();
        if (lines.size() < 2)
            continue;
        const QString hint = idIsClassNumber ? ClassNumberHint(candidates, lines) : QString();
        for (int i : lines) {
            const int other = i == lines[0] ? lines[1] : lines[0];
            candidates[i].why << QStringLiteral("ID番号「%1」が%2行目にもあります").arg(it.key()).arg(candidates[other].line) + hint;
        }
    }
}

} // namespace

ImportedRoster BuildImportedRoster(const ExportTable& table, const ColumnChoice& columns)
{
    QList<Candidate> candidates;
    candidates.reserve(table.rows.size());
    for (const ExportRow& row : table.rows)
        candidates.append(CandidateOf(row, columns));
    MarkDuplicateIds(candidates, IsClassNumberColumn(table, columns[Id]));

    ImportedRoster roster;
    for (const Candidate& c : candidates) {
        if (c.why.isEmpty()) {
            roster.lines.append(c.fields.join(u','));
            continue;
        }
        ++roster.problemLines;
        for (const QString& why : c.why)
            roster.problems.append({c.line, why});
    }
    return roster;
}

QByteArray ImportedRosterBytes(const ImportedRoster& roster)
{
    QByteArray bytes = ToShiftJis(RosterHeaderLine()).value() + "\r\n";
    for (const QString& line : roster.lines)
        bytes += ToShiftJis(line).value() + "\r\n";   // every line was checked
    return bytes;
}

} // namespace claims
