#include "weatherimport/pet_thornthwaite.h"

#include <cmath>
#include <map>

#include "weatherimport/solar.h"

namespace weatherimport {

double thornthwaite_unadjusted(double t, double heat_index) {
    if (t <= 0.0) return 0.0;
    if (t >= 26.5) return -415.85 + 32.24 * t - 0.43 * t * t;
    const double i = heat_index;
    const double a = 6.75e-7 * i * i * i - 7.71e-5 * i * i + 1.792e-2 * i + 0.49239;
    return 16.0 * std::pow(10.0 * t / i, a);
}

double thornthwaite_heat_index(const double (&monthly_means)[12]) {
    double sum = 0.0;
    for (double t : monthly_means)
        if (t > 0.0) sum += std::pow(t / 5.0, 1.514);
    return sum;
}

bool thornthwaite_series(const DailySeries& s, double latitude_deg, std::vector<std::optional<double>>& pet,
                         std::string& why) {
    struct Month {
        double sum = 0.0;
        int present = 0, missing = 0, run = 0, longest_run = 0;
        std::optional<double> mean;
    };
    std::map<std::pair<int, int>, Month> months;
    for (size_t i = 0; i < s.days.size(); ++i) {
        const Day d = s.day(i);
        Month& m = months[{year_of(d), month_of(d)}];
        const auto& hi = s.at(i, Quantity::Tmax);
        const auto& lo = s.at(i, Quantity::Tmin);
        if (hi && lo) {
            m.sum += (*hi + *lo) / 2.0, ++m.present, m.run = 0;
        } else {
            ++m.missing, ++m.run, m.longest_run = std::max(m.longest_run, m.run);
        }
    }
    // Days of a month outside the series count as missing too.
    for (auto& [ym, m] : months) {
        const int outside = days_in_month(ym.first, ym.second) - m.present - m.missing;
        if (m.present > 0 && m.missing + outside <= 10 && m.longest_run <= 4 && outside <= 4)
            m.mean = m.sum / m.present;
    }
    double climate[12] = {};
    int count[12] = {};
    for (const auto& [ym, m] : months)
        if (m.mean) climate[ym.second - 1] += *m.mean, ++count[ym.second - 1];
    for (int k = 0; k < 12; ++k) {
        if (count[k] == 0) {
            why = "Thornthwaite's heat index needs a mean temperature of every calendar month; month " +
                  std::to_string(k + 1) + " has none (more than 10 days, or more than 4 days in a row, missing)";
            return false;
        }
        climate[k] /= count[k];
    }
    const double heat_index = thornthwaite_heat_index(climate);
    if (heat_index <= 0.0) {
        why = "Thornthwaite's heat index is 0: no month has a mean above 0 C";
        return false;
    }
    pet.assign(s.days.size(), std::nullopt);
    for (size_t i = 0; i < s.days.size(); ++i) {
        const Day d = s.day(i);
        const int y = year_of(d), mo = month_of(d);
        const Month& m = months[{y, mo}];
        if (!m.mean || !s.at(i, Quantity::Tmax) || !s.at(i, Quantity::Tmin)) continue;
        // Day-length correction: the month's mean daylight hours over 12,
        // and its days over 30; the month's total is spread evenly.
        const int n = days_in_month(y, mo);
        const Day first = *calendar_date(y, mo, 1);
        double daylight = 0.0;
        for (int k = 0; k < n; ++k) daylight += daylight_hours(latitude_deg, day_of_year(first + date::days{k}));
        daylight /= n;
        const double month_total = thornthwaite_unadjusted(*m.mean, heat_index) * (daylight / 12.0) * (n / 30.0);
        pet[i] = month_total / n;
    }
    return true;
}

}  // namespace weatherimport
