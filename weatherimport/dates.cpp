#include "weatherimport/dates.h"

#include <cstdio>

namespace weatherimport {
namespace {

// Reads N digits at POS; false (OFFSET at the first non-digit) otherwise.
bool digits(std::string_view t, size_t pos, size_t n, int& v, size_t& offset) {
    v = 0;
    for (size_t i = pos; i < pos + n; ++i) {
        if (i >= t.size() || t[i] < '0' || t[i] > '9') {
            offset = i;
            return false;
        }
        v = v * 10 + (t[i] - '0');
    }
    return true;
}

bool literal(std::string_view t, size_t pos, char c, size_t& offset) {
    if (pos < t.size() && t[pos] == c) return true;
    offset = pos;
    return false;
}

}  // namespace

std::optional<Day> calendar_date(int year, int month, int day) {
    const date::year_month_day ymd{date::year{year}, date::month{static_cast<unsigned>(month)},
                                   date::day{static_cast<unsigned>(day)}};
    if (month < 1 || month > 12 || day < 1 || !ymd.ok()) return std::nullopt;
    return Day{ymd};
}

std::optional<Day> read_iso_date(std::string_view t, size_t& offset) {
    int y = 0, m = 0, d = 0;
    if (!digits(t, 0, 4, y, offset) || !literal(t, 4, '-', offset) || !digits(t, 5, 2, m, offset) ||
        !literal(t, 7, '-', offset) || !digits(t, 8, 2, d, offset))
        return std::nullopt;
    if (t.size() != 10) {
        offset = 10;
        return std::nullopt;
    }
    auto day = calendar_date(y, m, d);
    if (!day) offset = m < 1 || m > 12 ? 5 : 8;
    return day;
}

std::optional<Minute> read_iso_date_time(std::string_view t, size_t& offset) {
    auto day = read_iso_date(t.substr(0, 10), offset);
    if (!day) return std::nullopt;
    if (t.size() < 11 || (t[10] != 'T' && t[10] != ' ')) {
        offset = 10;
        return std::nullopt;
    }
    int h = 0, mi = 0, s = 0;
    if (!digits(t, 11, 2, h, offset) || !literal(t, 13, ':', offset) || !digits(t, 14, 2, mi, offset))
        return std::nullopt;
    size_t end = 16;
    if (t.size() > 16) {
        if (!literal(t, 16, ':', offset) || !digits(t, 17, 2, s, offset)) return std::nullopt;
        end = 19;
    }
    if (t.size() != end) {
        offset = end;
        return std::nullopt;
    }
    if (h > 24 || mi > 59 || s != 0 || (h == 24 && mi != 0)) {
        offset = h > 24 || (h == 24 && mi != 0) ? 11 : mi > 59 ? 14 : 17;
        return std::nullopt;
    }
    return Minute{*day} + std::chrono::hours{h} + std::chrono::minutes{mi};
}

std::optional<Day> day_of_year_date(int year, int doy) {
    const int n = date::year{year}.is_leap() ? 366 : 365;
    if (doy < 1 || doy > n) return std::nullopt;
    return Day{date::year{year} / date::January / 1} + date::days{doy - 1};
}

int year_of(Day d) {
    return static_cast<int>(date::year_month_day{d}.year());
}
int month_of(Day d) {
    return static_cast<int>(static_cast<unsigned>(date::year_month_day{d}.month()));
}

int day_of_year(Day d) {
    const Day jan1{date::year_month_day{d}.year() / date::January / 1};
    return static_cast<int>((d - jan1).count()) + 1;
}

int days_in_month(int year, int month) {
    const date::year_month_day_last last{date::year{year},
                                         date::month_day_last{date::month{static_cast<unsigned>(month)}}};
    return static_cast<int>(static_cast<unsigned>(last.day()));
}

std::string iso(Day d) {
    const date::year_month_day ymd{d};
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02u-%02u", static_cast<int>(ymd.year()), static_cast<unsigned>(ymd.month()),
                  static_cast<unsigned>(ymd.day()));
    return buf;
}

std::string iso(Minute m) {
    const Day d = date::floor<date::days>(m);
    const auto minutes = (m - Minute{d}).count();
    char buf[16];
    std::snprintf(buf, sizeof buf, "T%02d:%02d", static_cast<int>(minutes / 60), static_cast<int>(minutes % 60));
    return iso(d) + buf;
}

}  // namespace weatherimport
