// The options of the exports: the three of the HTML export, as the window's
// controls set them, and how the UDDF export reads the export's dates.
#pragma once

#include <string>

namespace quellmar {

struct ExportOptions {
  bool note = true;      // "Note"
  bool gif = true;       // "Dive profil GIF"
  std::string px = "1";  // "pixel / profile entry", read as text, as typed
};

// How to read a date such as 04/12/2010: FromDates decides from the
// logbook's dates, reading day first when none tells.
enum class DateOrder { FromDates, DayFirst, MonthFirst };

}  // namespace quellmar
