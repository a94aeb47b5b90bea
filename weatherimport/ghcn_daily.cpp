#include "weatherimport/ghcn_daily.h"

#include <cctype>
#include <vector>

#include "common/fixed_text.h"

namespace weatherimport {
namespace {

constexpr size_t kLineLength = 269;
constexpr size_t kShortestLine = 266;  // day 31's value complete, its flags cut

// A right-aligned integer field: blanks, an optional '-', digits.
bool field_integer(std::string_view f, int& v, size_t& bad) {
    size_t i = 0;
    while (i < f.size() && f[i] == ' ') ++i;
    bool neg = false;
    if (i < f.size() && f[i] == '-') neg = true, ++i;
    if (i == f.size()) {
        bad = i == 0 ? 0 : i - 1;
        return false;
    }
    v = 0;
    for (; i < f.size(); ++i) {
        if (f[i] < '0' || f[i] > '9') {
            bad = i;
            return false;
        }
        v = v * 10 + (f[i] - '0');
    }
    if (neg) v = -v;
    return true;
}

}  // namespace

bool read_ghcn_daily(const std::string& file, std::string_view text, SourceSeries& series, Refusal& refusal) {
    std::string station;
    int number = 0;
    const std::vector<std::string_view> lines = common::text_lines(text);
    for (size_t k = 0; k < lines.size(); ++k) {
        std::string line(lines[k]);
        ++number;
        Place place{file, number, 1};
        if (line.empty() && k + 1 == lines.size()) break;
        if (line.size() > kLineLength || line.size() < kShortestLine) {
            place.column = static_cast<int>(std::min(line.size(), kLineLength)) + 1;
            refusal = {place, "a GHCN-Daily line has " + std::to_string(kLineLength) + " columns, this one " +
                                  std::to_string(line.size())};
            return false;
        }
        line.resize(kLineLength, ' ');
        const std::string id = line.substr(0, 11);
        if (station.empty()) station = id;
        if (id != station) {
            refusal = {place, "station " + id + " in a file of station " + station + ": one station per import"};
            return false;
        }
        int year = 0, month = 0;
        size_t bad = 0;
        if (!field_integer(std::string_view(line).substr(11, 4), year, bad) || year < 1 || line[11] == ' ') {
            place.column = 12 + static_cast<int>(bad);
            refusal = {place, "YEAR (columns 12-15) is not a four-digit year"};
            return false;
        }
        if (!field_integer(std::string_view(line).substr(15, 2), month, bad) || month < 1 || month > 12) {
            place.column = 16;
            refusal = {place, "MONTH (columns 16-17) is not a month 01 to 12"};
            return false;
        }
        const std::string element = line.substr(17, 4);
        for (size_t k = 0; k < 4; ++k)
            if (!std::isupper(static_cast<unsigned char>(element[k])) &&
                !std::isdigit(static_cast<unsigned char>(element[k]))) {
                place.column = 18 + static_cast<int>(k);
                refusal = {place, "ELEMENT (columns 18-21) is not an element code"};
                return false;
            }
        Quantity q;
        if (element == "PRCP")
            q = Quantity::Rain;
        else if (element == "TMAX")
            q = Quantity::Tmax;
        else if (element == "TMIN")
            q = Quantity::Tmin;
        else
            continue;
        series.carried[index(q)] = true;
        const int month_days = days_in_month(year, month);
        for (int d = 1; d <= 31; ++d) {
            const size_t col = 21 + 8 * static_cast<size_t>(d - 1);  // 0-based start of VALUE
            int value = 0;
            if (!field_integer(std::string_view(line).substr(col, 5), value, bad)) {
                place.column = static_cast<int>(col + bad) + 1;
                refusal = {place, "VALUE of day " + std::to_string(d) + " (columns " + std::to_string(col + 1) + "-" +
                                      std::to_string(col + 5) + ") is not an integer"};
                return false;
            }
            place.column = static_cast<int>(col) + 1;
            if (d > month_days) {
                if (value != -9999) {
                    refusal = {place, "a value on day " + std::to_string(d) + " of a month of " +
                                          std::to_string(month_days) + " days"};
                    return false;
                }
                continue;
            }
            const Day day = *calendar_date(year, month, d);
            if (value == -9999) continue;  // found again as a gap
            const char mflag = line[col + 5], qflag = line[col + 6];
            if (qflag != ' ' || mflag == 'P') {
                const std::string why = qflag != ' ' ? std::string("quality flag ") + qflag
                                                     : std::string("measurement flag P (missing, presumed zero)");
                series.findings.push_back({FindingKind::Flagged, std::string(quantity_name(q)), iso(day), "",
                                           "value " + std::to_string(value) + " with " + why + ", read as missing",
                                           place});
                continue;
            }
            // Tenths of mm and tenths of degrees C.
            series.observations.push_back({day, q, value / 10.0, place});
        }
    }
    if (number == 0) {
        refusal = {{file, 1, 1}, "the file is empty"};
        return false;
    }
    series.temperature_unit = TemperatureUnit::Celsius;
    series.rain_unit = DepthUnit::Millimetre;
    return true;
}

}  // namespace weatherimport
