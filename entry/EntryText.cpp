#include "entry/EntryText.h"

namespace entry {

QByteArray LookupBytes(const QString& text)
{
    if (const auto whole = claims::ToShiftJis(text))
        return *whole;
    QByteArray bytes;
    for (const QChar& c : text) {
        const auto one = claims::ToShiftJis(QStringView(&c, 1));
        bytes += one ? *one : QByteArray(1, '\x7f');
    }
    return bytes;
}

} // namespace entry
