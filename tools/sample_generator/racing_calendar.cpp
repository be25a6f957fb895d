#include "racing_calendar.h"

#include <cstdio>

#include "seeded_random.h"

namespace lomi::samples {
namespace {

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

// Days since 1970-01-01 (a Thursday), proleptic Gregorian calendar.
std::int64_t DayNumber(int year, int month, int day) {
    const int y = month <= 2 ? year - 1 : year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const int yearOfEra = static_cast<int>(y - era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int Weekday(std::int64_t dayNumber) { return static_cast<int>(((dayNumber % 7) + 7 + 4) % 7); }

RaceDay Next(const RaceDay& d) {
    RaceDay n = d;
    n.weekday = (d.weekday + 1) % 7;
    if (++n.day > DaysInMonth(n.year, n.month)) {
        n.day = 1;
        if (++n.month > 12) {
            n.month = 1;
            ++n.year;
        }
    }
    return n;
}

bool Before(const RaceDay& a, const RaceDay& b) {
    if (a.year != b.year) return a.year < b.year;
    if (a.month != b.month) return a.month < b.month;
    return a.day < b.day;
}

}  // namespace

std::string RaceDay::Compact() const {
    // Written by hand: a large corpus asks for it for every race line.
    std::string text(8, '0');
    const int digits[] = {year / 1000 % 10, year / 100 % 10, year / 10 % 10, year % 10,
                          month / 10,       month % 10,      day / 10,       day % 10};
    for (std::size_t i = 0; i < 8; ++i) text[i] = static_cast<char>('0' + digits[i]);
    return text;
}

bool ParseDate(const std::string& text, RaceDay& day) {
    int y = 0, m = 0, d = 0;
    char rest = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%c", &y, &m, &d, &rest) != 3 &&
        !(text.size() == 8 && std::sscanf(text.c_str(), "%4d%2d%2d%c", &y, &m, &d, &rest) == 3)) {
        return false;
    }
    if (y < 1 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    day = RaceDay{y, m, d, Weekday(DayNumber(y, m, d))};
    return true;
}

std::vector<RaceDay> RacingDays(const RaceDay& first, const RaceDay& last, std::uint64_t seed) {
    std::vector<RaceDay> days;
    for (RaceDay d = first; !Before(last, d); d = Next(d)) {
        const bool weekend = d.weekday == 0 || d.weekday == 6;
        SeededRandom random{seed, static_cast<std::uint64_t>(DayNumber(d.year, d.month, d.day))};
        const bool holiday = d.weekday == 1 && random.Percent(12);
        if (weekend || holiday) days.push_back(d);
    }
    return days;
}

}  // namespace lomi::samples
