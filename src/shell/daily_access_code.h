#pragma once
#include "base/date_time.h"

#include <string>

namespace getkelo {

// The five-character code of the day that guards the setup import, the raw register tool and
// the firmware update. Service staff work it out by hand from the date (docs/access_code.md).
std::string dailyAccessCode(const DateTime& date);

// True only for an exact match (case and length included) with the code of that date.
bool checkDailyAccessCode(const std::string& entry, const DateTime& date);

} // namespace getkelo
