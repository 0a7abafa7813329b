#pragma once
// The check of a paid month's amount: the benefit is usually four tenths of
// the ten yen of a treatment point, 4 yen a point. A month of 7,000 points
// or more is paid by the household's income (the high-cost rule), so no
// usual amount is known for it.

#include "claimstatus/StatusFile.h"

#include <optional>

namespace claims {

inline constexpr qint64 kYenPerPoint = 4;

// The usual amount of a month that is 支払済 with both points and amount
// recorded and fewer than 7,000 points; none otherwise.
std::optional<qint64> UsualAmount(const MonthStatus& month);

// True when such a month's amount differs from its usual amount
// (「金額を確認」). Only a mark: nothing is refused for it.
bool AmountWantsCheck(const MonthStatus& month);

} // namespace claims
