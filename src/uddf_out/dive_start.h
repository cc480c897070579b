// A dive's start as UDDF writes it ("2010-12-04T10:38:00"), read from the
// export's date and time texts. The export writes dates in the short-date
// format of the Windows machine that made it ("04/12/2010", "09.07.2021",
// "2002.07.14"), so whether the day or the month comes first is decided once
// for a whole logbook, from its dates or by the user.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "model/export_options.h"
#include "model/logbook.h"

namespace quellmar {

// The order that the dates show: a date such as 31/12/2010 can only be read
// day first, 12/31/2010 only month first; the order more dates show wins.
// Nothing when no date tells, or as many tell one order as the other.
std::optional<DateOrder> DateOrderShown(const std::vector<Dive>& dives);

// "2010-12-04", or nothing when the text is no date of the calendar in the
// given order (DayFirst or MonthFirst). A date with the year first (four
// digits) is read year, month, day whatever the order; a two-digit year is
// 1970 to 2069.
std::optional<std::string> IsoDate(std::string_view date, DateOrder order);

// "10:38:00" from "10:38" or "9.05", or nothing when the text is no time of day.
std::optional<std::string> IsoTime(std::string_view time);

}  // namespace quellmar
