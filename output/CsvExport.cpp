#include "output/CsvExport.h"

#include "claimstatus/Export.h"
#include "files/FileAccess.h"
#include "forms/Messages.h"

using namespace claims;

namespace output {

bool ExportCsv(QWidget* parent, const QString& path, const QList<QStringList>& lines)
{
    if (const std::optional<QString> refusal = ExportRefusal(path)) {
        forms::ShowMessage(parent, *refusal);
        return false;
    }
    ExportBytes csv = ShiftJisCsv(lines);
    if (csv.unencodableLine > 0) {
        const QString question = QStringLiteral("一覧の%1行目の「%2」には Shift-JIS で保存できない文字があります。\n"
                                                "UTF-8（BOM付き、Excel でそのまま開けます）で書き出しますか？")
                                     .arg(csv.unencodableLine - 1)
                                     .arg(csv.unencodableText);
        if (forms::Confirm(parent, question) != forms::Answer::Yes)
            return false;
        csv.bytes = Utf8Csv(lines);
    }
    const IoResult written = ReplaceFileContents(path, csv.bytes);
    if (!written.has_value())
        forms::ShowMessage(parent, QStringLiteral("CSV出力できませんでした：") + written.error().message);
    return written.has_value();
}

} // namespace output
