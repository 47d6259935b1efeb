#pragma once

#include "base/DateTime.h"

#include <string>

namespace horavia {

// The window's own date and time format record. Nothing here comes from the system locale:
// the fields are set by the program and texts are produced by our formatter alone.
struct TFormatSettings {
    std::string TimeSeparator = ":";
    std::string DateSeparator = "/";
    std::string TimeAMString = "AM";
    std::string TimePMString = "PM";
    std::string ShortDateFormat = "dd/mm";
    std::string LongDateFormat = "dd/mm yyyy";
    std::string ShortTimeFormat = "h:mm ampm";
    std::string LongTimeFormat = "h:mm:ss ampm";
};

// Formats t with a pattern of these tokens (letters in either case):
//   d dd      day of the month, without / with a leading zero
//   m mm      month, or minutes when the token follows an hour token
//   yy yyyy   year, two or four digits
//   h hh      hour, 12-hour when the pattern holds an am/pm token
//   n nn      minutes;  s ss  seconds;  z zzz  milliseconds
//   ampm      TimeAMString / TimePMString;  am/pm  "am"/"pm";  a/p  "a"/"p"
//   :  /      the time and the date separator
//   "..." '...'  literal text
// Any other character is copied.
std::string FormatDateTime(const std::string& pattern, TDateTime t, const TFormatSettings& fs);

// t as a time in the long time format.
std::string FormatTime(TDateTime t, const TFormatSettings& fs);
// t as a date in the short date format.
std::string FormatDate(TDateTime t, const TFormatSettings& fs);

} // namespace horavia
