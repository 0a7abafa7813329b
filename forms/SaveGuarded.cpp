#include "forms/SaveGuarded.h"

#include "forms/Application.h"
#include "forms/Messages.h"

namespace forms {

QString ChangedElsewhereQuestion(const SavedFile& what)
{
    const QString question = what.kind + QStringLiteral("は読み込んだ後に他のパソコンで変更されています。上書きしますか？");
    return what.fileName.isEmpty() ? question : what.fileName + u'\n' + question;
}

std::optional<claims::FileStamp> SaveGuarded(QWidget* parent, const SavedFile& what,
                                             const std::optional<claims::FileStamp>& expected,
                                             const GuardedWrite& write)
{
    claims::Result<claims::FileStamp> written = write(expected);
    while (!written && written.error().refusal == claims::Refusal::ChangedElsewhere) {
        if (Confirm(parent, ChangedElsewhereQuestion(what)) != Answer::Yes)
            return std::nullopt;
        written = write(written.error().found);
    }
    if (!written)
        throw Error(written.error().message);
    return *written;
}

} // namespace forms
