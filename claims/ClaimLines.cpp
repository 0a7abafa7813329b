#include "claims/ClaimLines.h"

#include "files/LineReader.h"

namespace claims {
namespace {

// Cuts the first `count` fields off the front of a line into fields; each
// exists only when a "," follows it. Returns the rest after the last ",",
// empty once a field was missing.
QByteArrayView CutFields(QByteArrayView line, QByteArrayView* fields, int count)
{
    for (int i = 0; i < count; ++i) {
        const qsizetype comma = line.indexOf(',');
        if (comma < 0)
            return QByteArrayView();
        fields[i] = line.first(comma);
        line = line.sliced(comma + 1);
    }
    return line;
}

} // namespace

ClaimLines CutClaimLines(QByteArrayView bytes)
{
    ClaimLines lines;
    LineReader reader(TextBefore(bytes, '\x1A'));
    lines.title = reader.Next();
    lines.header = reader.Next();
    for (QByteArrayView& row : lines.rows)
        row = reader.Next();
    return lines;
}

QByteArrayView StudentNameOfTitle(QByteArrayView title)
{
    const qsizetype comma = title.indexOf(',');
    return comma < 0 ? QByteArrayView() : TextBefore(title.sliced(comma + 1), ',');
}

HeaderFields CutHeaderLine(QByteArrayView line)
{
    HeaderFields header;
    const QByteArrayView rest = CutFields(line, header.field.data(), 8);
    const qsizetype comma = rest.indexOf(',');
    header.field[8] = comma < 0 ? rest : rest.first(comma);
    header.hasPlace = comma >= 0;
    if (header.hasPlace)
        header.field[9] = rest.sliced(comma + 1);
    return header;
}

RowFields CutRowLine(QByteArrayView line)
{
    RowFields fields;
    fields[t_kyufu::SlotCount - 1] = CutFields(line, fields.data(), t_kyufu::SlotCount - 1);
    return fields;
}

int SlotOfFileField(int j)
{
    if (j == 0)
        return 0;
    return j % 2 == 1 ? j + 1 : j - 1;
}

} // namespace claims
