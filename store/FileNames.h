#pragma once
// The names of the files the data folder keeps. A claim is named by the
// student's ID and the injury occurrence: its claim file is
// seikyu/請<ID>-<n>.CSV and its status file 請求状況/請<ID>-<n>.CSV; every
// path to either is built here. Rosters are named by their entry year.

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <optional>

namespace claims {

// An ID that can safely be part of a file name: not empty, not only blanks,
// not "." or "..", none of / \ : * ? " < > | and no control character, and
// bytes that read as Shift-JIS and come back the same. Other IDs never build
// a path.
bool IsUsableStudentId(QByteArrayView id);

struct ClaimName {
    static constexpr int MaxOccurrence = 8;   // injuries kept per student

    QByteArray id;        // Shift-JIS bytes
    int occurrence = 0;   // 1 .. MaxOccurrence

    static bool IsOccurrence(int n) { return n >= 1 && n <= MaxOccurrence; }

    // "請" + id + "-" + occurrence in Shift-JIS: the first field of a claim
    // file's line 1.
    QByteArray Stem() const;
    QString FileName() const;   // the stem as text with ".CSV"

    // The name's file in a folder; empty when the ID is unusable.
    QString PathIn(const QString& folder) const;

    // "請<ID>-<n>.CSV" with any case of ".CSV", a usable ID and n = 1 .. 8;
    // nothing for any other name.
    static std::optional<ClaimName> Parse(QStringView fileName);
};

// Whether a file name is that of a roster (BuildRosterPath): "H" or "R", at
// most two characters, "入学.CSV" (any case of ".CSV").
bool IsRosterFileName(const QString& name);

} // namespace claims
