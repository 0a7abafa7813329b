#include "files/Csv.h"

#include <algorithm>

namespace claims {
namespace {

bool IsLineEnd(char c)
{
    return c == '\r' || c == '\n';
}

void ChopLineEnd(QByteArray& text)
{
    if (text.endsWith("\r\n"))
        text.chop(2);
    else if (!text.isEmpty() && IsLineEnd(text.back()))
        text.chop(1);
}

class CsvScanner {
public:
    CsvScanner(QByteArrayView text, char separator) : text_(text), separator_(separator) {}

    bool AtEnd() const { return pos_ >= text_.size(); }

    CsvRecord Next()
    {
        CsvRecord record;
        record.line = line_;
        const qsizetype start = pos_;
        for (;;) {
            record.fields.append(Field(record.broken));
            if (AtEnd() || text_[pos_] != separator_)
                break;
            ++pos_;
        }
        record.raw = text_.sliced(start, pos_ - start).toByteArray();
        if (AtEnd())
            ChopLineEnd(record.raw);   // a quote left open took the last line end in
        SkipLineEnd();
        return record;
    }

    void SkipEmptyLines()
    {
        while (!AtEnd() && IsLineEnd(text_[pos_]))
            SkipLineEnd();
    }

private:
    QByteArray Field(bool& broken)
    {
        if (AtEnd() || text_[pos_] != '"')
            return Plain();
        ++pos_;
        QByteArray field;
        for (;;) {
            if (AtEnd()) {
                broken = true;
                return field;
            }
            const char c = text_[pos_++];
            if (c == '\n' || (c == '\r' && (AtEnd() || text_[pos_] != '\n')))
                ++line_;
            if (c != '"') {
                field += c;
            } else if (!AtEnd() && text_[pos_] == '"') {
                field += '"';
                ++pos_;
            } else {
                break;
            }
        }
        if (!AtEnd() && text_[pos_] != separator_ && !IsLineEnd(text_[pos_])) {
            broken = true;
            field += Plain();
        }
        return field;
    }

    QByteArray Plain()
    {
        const qsizetype start = pos_;
        while (!AtEnd() && text_[pos_] != separator_ && !IsLineEnd(text_[pos_]))
            ++pos_;
        return text_.sliced(start, pos_ - start).toByteArray();
    }

    void SkipLineEnd()
    {
        if (AtEnd())
            return;
        if (text_[pos_] == '\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == '\n')
            ++pos_;
        ++pos_;
        ++line_;
    }

    QByteArrayView text_;
    char separator_;
    qsizetype pos_ = 0;
    int line_ = 1;
};

} // namespace

QList<CsvRecord> ReadCsv(QByteArrayView text, char separator)
{
    QList<CsvRecord> records;
    CsvScanner scanner(text, separator);
    scanner.SkipEmptyLines();
    while (!scanner.AtEnd()) {
        records.append(scanner.Next());
        scanner.SkipEmptyLines();
    }
    return records;
}

QByteArray CsvField(QByteArrayView field)
{
    const bool quote = std::any_of(field.begin(), field.end(),
                                   [](char c) { return c == ',' || c == '"' || c == '\r' || c == '\n'; });
    if (!quote)
        return field.toByteArray();
    QByteArray out = "\"";
    for (char c : field) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + '"';
}

QByteArray CsvLine(const QList<QByteArray>& fields)
{
    QByteArray out;
    for (qsizetype i = 0; i < fields.size(); ++i) {
        if (i > 0)
            out += ',';
        out += CsvField(fields[i]);
    }
    return out + "\r\n";
}

} // namespace claims
