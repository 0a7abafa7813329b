#pragma once
// Finding a run of bytes in a large text at close to memory speed.

#include <QByteArrayView>

namespace claims {

// The first position at or after `from` where key (not empty) occurs in
// text, or -1.
qsizetype FindBytes(QByteArrayView text, qsizetype from, QByteArrayView key);

// The first CR or LF at or after `from`, or text.size() when none follows.
qsizetype FindLineEnd(QByteArrayView text, qsizetype from);

// The position just after the last CR or LF before `pos`, or 0 when there
// is none: the start of the line that holds pos.
qsizetype FindLineStart(QByteArrayView text, qsizetype pos);

} // namespace claims
