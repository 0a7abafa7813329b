#pragma once
// The chosen version as the office knows it, as rich text for the window:
// for a claim the header fields with their captions and the treatment
// lines in the entry window's form, for a status file its months. What
// differs from the file as it is now is marked in bold red with 「現在：…」.

#include "claimstatus/HistoryList.h"

#include <QByteArray>
#include <QString>

#include <optional>

namespace history {

// current: the file as it is now; std::nullopt when it is gone.
QString DetailHtml(const claims::HistoryListing& listing, int version, const QByteArray& bytes,
                   const std::optional<QByteArray>& current);

} // namespace history
