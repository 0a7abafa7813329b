#pragma once
// Cuts a text into lines. A line ends at CR LF, at a lone CR or at a lone LF;
// the last line needs no line end.

#include "files/ByteSearch.h"

#include <QByteArrayView>

namespace claims {

class LineReader {
public:
    explicit LineReader(QByteArrayView text) : text_(text) {}

    bool AtEnd() const { return pos_ >= text_.size(); }
    qsizetype Position() const { return pos_; }

    // The next line without its line end; an empty line past the end.
    QByteArrayView Next()
    {
        const qsizetype start = pos_;
        const qsizetype end = FindLineEnd(text_, start);
        pos_ = end;
        if (pos_ < text_.size() && text_[pos_++] == '\r' && pos_ < text_.size() && text_[pos_] == '\n')
            ++pos_;
        return text_.sliced(start, end - start);
    }

private:
    QByteArrayView text_;
    qsizetype pos_ = 0;
};

// The text up to the first byte `stop` (the whole text when there is none).
inline QByteArrayView TextBefore(QByteArrayView text, char stop)
{
    const qsizetype at = text.indexOf(stop);
    return at < 0 ? text : text.first(at);
}

} // namespace claims
