#include "base/DateTimeFormat.h"

#include <cctype>
#include <string_view>

namespace horavia {
namespace {

char Lower(char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool StartsWithNoCase(std::string_view text, std::size_t pos, std::string_view token) {
    if (text.size() - pos < token.size()) {
        return false;
    }
    for (std::size_t i = 0; i < token.size(); ++i) {
        if (Lower(text[pos + i]) != token[i]) {
            return false;
        }
    }
    return true;
}

std::size_t RunLength(std::string_view text, std::size_t pos) {
    const char c = Lower(text[pos]);
    std::size_t n = 1;
    while (pos + n < text.size() && Lower(text[pos + n]) == c) {
        ++n;
    }
    return n;
}

void AppendNumber(std::string& out, int value, int width) {
    std::string digits = std::to_string(value);
    if (static_cast<int>(digits.size()) < width) {
        out.append(static_cast<std::size_t>(width) - digits.size(), '0');
    }
    out += digits;
}

// Whether the pattern asks for a 12-hour clock: it holds an am/pm token outside quotes.
bool HasAmPm(std::string_view pattern) {
    char quote = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (quote != 0) {
            if (c == quote) {
                quote = 0;
            }
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (StartsWithNoCase(pattern, i, "ampm") || StartsWithNoCase(pattern, i, "am/pm") ||
                   StartsWithNoCase(pattern, i, "a/p")) {
            return true;
        }
    }
    return false;
}

} // namespace

std::string FormatDateTime(const std::string& pattern, TDateTime t, const TFormatSettings& fs) {
    const DateTimeParts p = DecodeDateTime(t);
    const bool twelveHour = HasAmPm(pattern);
    const bool pm = p.hour >= 12;
    std::string out;
    bool afterHour = false;
    std::size_t i = 0;
    while (i < pattern.size()) {
        const char c = pattern[i];
        const char lc = Lower(c);
        if (c == '"' || c == '\'') {
            const std::size_t end = pattern.find(c, i + 1);
            const std::size_t stop = end == std::string::npos ? pattern.size() : end;
            out.append(pattern, i + 1, stop - i - 1);
            i = stop == pattern.size() ? stop : stop + 1;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "ampm")) {
            out += pm ? fs.TimePMString : fs.TimeAMString;
            i += 4;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "am/pm")) {
            out += pm ? "pm" : "am";
            i += 5;
            continue;
        }
        if (StartsWithNoCase(pattern, i, "a/p")) {
            out += pm ? "p" : "a";
            i += 3;
            continue;
        }
        const std::size_t run = std::isalpha(static_cast<unsigned char>(c)) ? RunLength(pattern, i) : 1;
        switch (lc) {
        case 'd':
            AppendNumber(out, p.day, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'y':
            if (run >= 3) {
                AppendNumber(out, p.year, 4);
            } else {
                AppendNumber(out, p.year % 100, 2);
            }
            afterHour = false;
            break;
        case 'h': {
            int hour = p.hour;
            if (twelveHour) {
                hour %= 12;
                if (hour == 0) {
                    hour = 12;
                }
            }
            AppendNumber(out, hour, run >= 2 ? 2 : 1);
            afterHour = true;
            break;
        }
        case 'm':
            AppendNumber(out, afterHour ? p.minute : p.month, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'n':
            AppendNumber(out, p.minute, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 's':
            AppendNumber(out, p.second, run >= 2 ? 2 : 1);
            afterHour = false;
            break;
        case 'z':
            AppendNumber(out, p.millisecond, run >= 3 ? 3 : 1);
            afterHour = false;
            break;
        case ':':
            out += fs.TimeSeparator;
            break;
        case '/':
            out += fs.DateSeparator;
            break;
        default:
            out.append(run, c);
            break;
        }
        i += run;
    }
    return out;
}

std::string FormatTime(TDateTime t, const TFormatSettings& fs) {
    return FormatDateTime(fs.LongTimeFormat, t, fs);
}

std::string FormatDate(TDateTime t, const TFormatSettings& fs) {
    return FormatDateTime(fs.ShortDateFormat, t, fs);
}

} // namespace horavia
