#pragma once
// Finding a run of bytes in a large text at close to memory speed.

#include <QByteArrayView>

namespace claims {

// The first position at or after `from` where key (not empty) occurs in
// text, or -1.
qsizetype FindBytes(QByteArrayView text, qsizetype from, QByteArrayView key);

} // namespace claims
