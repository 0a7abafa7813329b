#pragma once
// Small helpers for the claim library's tests.

#include "files/ShiftJis.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>

namespace ktest {

// Shift-JIS bytes of a text written here in UTF-8.
inline QByteArray Sj(const QString& text)
{
    return claims::ToShiftJis(text).value_or("<unencodable>");
}

inline QList<QByteArray> SjList(const QStringList& texts)
{
    QList<QByteArray> list;
    for (const QString& text : texts)
        list.append(Sj(text));
    return list;
}

inline bool WriteBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

inline QByteArray ReadBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<unreadable>");
}

// Every entry of a folder, hidden ones included.
inline QStringList Entries(const QString& folder)
{
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot,
                                  QDir::Name);
}

} // namespace ktest
