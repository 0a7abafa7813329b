#include "claimstatus/AmountCheck.h"

namespace claims {

std::optional<qint64> UsualAmount(const MonthStatus& month)
{
    if (month.state != ClaimState::Paid || !month.points || !month.amount || NeedsHighCostForm(*month.points))
        return std::nullopt;
    return *month.points * kYenPerPoint;
}

bool AmountWantsCheck(const MonthStatus& month)
{
    const std::optional<qint64> usual = UsualAmount(month);
    return usual && *usual != *month.amount;
}

} // namespace claims
