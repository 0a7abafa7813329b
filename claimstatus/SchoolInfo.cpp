#include "claimstatus/SchoolInfo.h"

#include "claimstatus/StatusFile.h"
#include "files/Csv.h"
#include "files/FileAccess.h"
#include "files/ShiftJis.h"

namespace claims {
namespace {

using SchoolField = QString SchoolInfo::*;
struct Column {
    const char16_t* name;
    SchoolField field;
};
const Column kColumns[] = {{u"学校名", &SchoolInfo::name},
                           {u"住所", &SchoolInfo::address},
                           {u"電話", &SchoolInfo::phone},
                           {u"担当者", &SchoolInfo::person}};

const Column* KnownColumn(QByteArrayView name)
{
    const QString text = FromShiftJis(name);
    for (const Column& column : kColumns) {
        if (text == QStringView(column.name))
            return &column;
    }
    return nullptr;
}

} // namespace

QString SchoolFilePath(const QString& workDir)
{
    return StatusFolder(workDir) + QStringLiteral("/学校.CSV");
}

SchoolInfo ParseSchoolFile(QByteArrayView bytes)
{
    SchoolInfo info;
    const QList<CsvRecord> records = ReadCsv(bytes);
    if (records.isEmpty())
        return info;
    const QList<QByteArray>& names = records[0].fields;
    const QList<QByteArray> values = records.size() > 1 ? records[1].fields : QList<QByteArray>();
    for (int i = 0; i < names.size(); ++i) {
        if (const Column* column = KnownColumn(names[i])) {
            info.*(column->field) = FromShiftJis(values.value(i));
        } else {
            info.extraColumns.append(names[i]);
            info.extraFields.append(values.value(i));
        }
    }
    for (qsizetype r = 2; r < records.size(); ++r)
        info.keptLines.append(records[r].raw);
    return info;
}

QString UnencodableSchoolField(const SchoolInfo& info)
{
    for (const Column& column : kColumns) {
        if (!ToShiftJis(info.*(column.field)))
            return QString::fromUtf16(column.name);
    }
    return QString();
}

std::optional<QByteArray> FormatSchoolFile(const SchoolInfo& info)
{
    QList<QByteArray> names, values;
    for (const Column& column : kColumns) {
        const std::optional<QByteArray> value = ToShiftJis(info.*(column.field));
        if (!value)
            return std::nullopt;
        names.append(*ToShiftJis(QString::fromUtf16(column.name)));
        values.append(*value);
    }
    QByteArray out = CsvLine(names + info.extraColumns) + CsvLine(values + info.extraFields);
    for (const QByteArray& kept : info.keptLines)
        out += kept + "\r\n";
    return out;
}

Result<Stamped<SchoolInfo>> ReadSchoolFile(const QString& workDir)
{
    return GuardedFile(SchoolFilePath(workDir)).ReadAs<SchoolInfo>(ParseSchoolFile);
}

QString ReadSchoolName(const QString& workDir)
{
    const Result<Stamped<SchoolInfo>> school = ReadSchoolFile(workDir);
    return school ? school->value.name : QString();
}

Result<FileStamp> WriteSchoolFile(const QString& workDir, const SchoolInfo& info, const std::optional<FileStamp>& expected)
{
    return WriteInStatusFolder(workDir, SchoolFilePath(workDir), FormatSchoolFile(info), expected);
}

} // namespace claims
