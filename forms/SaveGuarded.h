#pragma once
// The one way a window saves a guarded file (store/GuardedFile.h). The save
// is tried against the stamp of what the window read. When another PC
// changed the file since, the user is asked whether the window's version
// replaces it; on はい the save is tried again against the file as found,
// and asked again after yet another change. Any other failure shows in the
// error box, as every handler's failure does.

#include "files/IoResult.h"

#include <QString>

#include <functional>
#include <optional>

class QWidget;

namespace forms {

// What is saved, as the question names it.
struct SavedFile {
    QString kind;       // "この請求ファイル", "この請求状況", "学校情報", "この名簿"
    QString fileName;   // the line above the question; empty for none
};

// The question asked when the file changed after it was read.
QString ChangedElsewhereQuestion(const SavedFile& what);

// One try of the save: against expected, the stamp of the file as written.
using GuardedWrite =
    std::function<claims::Result<claims::FileStamp>(const std::optional<claims::FileStamp>& expected)>;

// Saves through write as above. The stamp of the file as written; nothing
// when the user kept the file as the other PC left it. A failure throws
// forms::Error with its text, for the error box.
std::optional<claims::FileStamp> SaveGuarded(QWidget* parent, const SavedFile& what,
                                             const std::optional<claims::FileStamp>& expected,
                                             const GuardedWrite& write);

} // namespace forms
