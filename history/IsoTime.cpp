#include "IsoTime.h"

namespace hl {

std::string IsoTime(std::uint64_t fileTime) {
    // FILETIME counts 100-nanosecond ticks from 1601-01-01, the first day of a
    // 400-year Gregorian cycle, in which every fourth year ends a span with its
    // leap day (the cycle's first three century years excepted).
    const std::uint64_t seconds = fileTime / 10000000u;
    std::uint64_t days = seconds / 86400u;
    const unsigned secondOfDay = static_cast<unsigned>(seconds % 86400u);

    std::uint64_t year = 1601 + 400 * (days / 146097u);
    days %= 146097u;
    // Centuries of 36524 days, but the cycle's last one has 36525.
    std::uint64_t centuries = days / 36524u;
    if (centuries == 4) centuries = 3;
    days -= centuries * 36524u;
    year += 100 * centuries;
    year += 4 * (days / 1461u);
    days %= 1461u;
    std::uint64_t years = days / 365u;
    if (years == 4) years = 3;
    days -= years * 365u;
    year += years;

    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const unsigned monthDays[] = {31, leap ? 29u : 28u, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    unsigned month = 0;
    while (days >= monthDays[month]) days -= monthDays[month++];

    // Written out by hand: printf's formatting would cost the program a fifth of its size.
    std::string text;
    auto put = [&text](std::uint64_t number, int digits, char after) {
        std::string field;
        for (; number || digits > 0; number /= 10, --digits) field.insert(field.begin(), static_cast<char>('0' + number % 10));
        text += field;
        text += after;
    };
    put(year, 4, '-');
    put(month + 1, 2, '-');
    put(days + 1, 2, 'T');
    put(secondOfDay / 3600, 2, ':');
    put(secondOfDay / 60 % 60, 2, ':');
    put(secondOfDay % 60, 2, 'Z');
    return text;
}

}  // namespace hl
