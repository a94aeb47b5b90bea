#include "soildata/input_plausibility.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <optional>

namespace soildata {

namespace {

std::string fmt(double v) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.4g", v);
    return buf;
}

// Free-form records as PEDOPRE reads them: values separated by blanks or
// commas, a record runs on over lines as needed, the rest of its last line
// is skipped, and a slash ends it early.
class Records {
  public:
    explicit Records(std::string_view text) {
        size_t pos = 0;
        while (pos < text.size()) {
            size_t end = text.find('\n', pos);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(pos, end - pos);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            lines_.push_back(line);
            pos = end + 1;
        }
    }

    std::optional<std::string_view> line() {
        if (next_ >= lines_.size()) return std::nullopt;
        return lines_[next_++];
    }

    // COUNT numbers, or nothing when the file ends or a value is not a number.
    std::optional<std::vector<double>> read(size_t count) {
        std::vector<double> values;
        while (values.size() < count) {
            if (next_ >= lines_.size()) return std::nullopt;
            std::string_view l = lines_[next_++];
            size_t i = 0;
            while (i < l.size() && values.size() < count) {
                while (i < l.size() && (l[i] == ' ' || l[i] == ',' || l[i] == '\t')) ++i;
                if (i >= l.size()) break;
                if (l[i] == '/') return values.size() == count ? std::optional(values) : std::nullopt;
                size_t j = i;
                while (j < l.size() && l[j] != ' ' && l[j] != ',' && l[j] != '\t') ++j;
                double v = 0;
                auto [ptr, ec] = std::from_chars(l.data() + i, l.data() + j, v);
                if (ec != std::errc() || ptr != l.data() + j) return std::nullopt;
                values.push_back(v);
                i = j;
            }
        }
        return values;
    }

    size_t line_number() const { return next_; }

  private:
    std::vector<std::string_view> lines_;
    size_t next_ = 0;
};

bool near(double v, double target) {
    return std::fabs(v - target) <= 0.02 * target;
}

void check_depths(const std::vector<double>& bottoms, PlausibilityReport& r) {
    if (bottoms.empty()) return;
    if (bottoms.back() <= 5.0)
        r.warnings.push_back("the profile ends at " + fmt(bottoms.back()) +
                             " cm: depths look like metres (bottom depths are in cm)");
    for (size_t i = 1; i < bottoms.size(); ++i)
        if (!(bottoms[i] > bottoms[i - 1]))
            r.warnings.push_back("layer " + std::to_string(i + 1) + ": bottom " + fmt(bottoms[i]) +
                                 " cm is not below the bottom of the layer above, " + fmt(bottoms[i - 1]) + " cm");
}

// A van Genuchten layer record (ZBOT theta_r theta_s alpha n Ks K0 l): its
// plausibility warnings; false, with the error, when it cannot be read.
bool check_van_genuchten_layer(Records& rec, const std::string& where, std::vector<double>& bottoms,
                               PlausibilityReport& r) {
    const auto v = rec.read(8);
    if (!v) {
        r.error = where + ": the record of 8 values (ZBOT theta_r theta_s alpha n Ks K0 l) cannot be read";
        return false;
    }
    const double alpha = (*v)[3], n = (*v)[4], ks = (*v)[5], k0 = (*v)[6];
    bottoms.push_back((*v)[0]);
    if (alpha > 0.5)
        r.warnings.push_back(where + ": alpha " + fmt(alpha) + " 1/cm means air entry within " + fmt(1 / alpha) +
                             " cm of saturation; in 1/m it would be " + fmt(alpha / 100) + " 1/cm (alpha is in 1/cm)");
    // A coarse curve (air entry within 20 cm, steep) with the Ks of a
    // clay: a Ks in cm/hr is 24 times too small here.
    if (alpha >= 0.05 && alpha <= 0.5 && n >= 1.8 && ks > 0 && ks < 30)
        r.warnings.push_back(where + ": Ks " + fmt(ks) + " cm/day is low for a coarse soil (alpha " + fmt(alpha) +
                             " 1/cm, n " + fmt(n) + "); if it is in cm/hr it is " + fmt(ks * 24) +
                             " cm/day (this form takes cm/day)");
    if (k0 > 0 && k0 < 0.012)
        r.warnings.push_back(where + ": K0 " + fmt(k0) +
                             " cm/day prints as 0.000 cm/hr in the conductivity table: every Green-Ampt B is zero");
    else if (k0 > 0 && ks > 0 && k0 < ks / 10)
        r.warnings.push_back(where + ": K0 " + fmt(k0) + " cm/day is " + fmt(ks / k0) +
                             " times below Ks; Green-Ampt B follows K0 and is cut as much");
    return true;
}

// A measured-points layer (NPTS KSAT ZBOT, then the points): its
// plausibility warnings; false, with the error, when it cannot be read.
bool check_measured_layer(Records& rec, const std::string& where, std::vector<double>& bottoms, PlausibilityReport& r) {
    const auto h = rec.read(3);
    if (!h) {
        r.error = where + ": the header NPTS KSAT ZBOT cannot be read";
        return false;
    }
    const double npts = (*h)[0], ksat = (*h)[1];
    bottoms.push_back((*h)[2]);
    if (!(npts >= 1 && npts <= 98 && npts == std::floor(npts))) {
        r.error = where + ": the number of points, " + fmt(npts) + ", is not 1 to 98";
        return false;
    }
    const auto pts = rec.read(2 * static_cast<size_t>(npts));
    if (!pts) {
        r.error = where + ": " + fmt(npts) + " pairs of water content and head cannot be read";
        return false;
    }
    double h_max = 0, theta_wet = 0;
    int kpa_marks = 0;
    for (size_t i = 0; i < pts->size(); i += 2) {
        const double theta = (*pts)[i], head = std::fabs((*pts)[i + 1]);
        h_max = std::max(h_max, head);
        theta_wet = std::max(theta_wet, theta);
        if (near(head, 3.3) || near(head, 33) || near(head, 1500)) ++kpa_marks;
        if (theta > 1 && theta <= 100)
            r.warnings.push_back(where + ": water content " + fmt(theta) +
                                 " looks like a percentage (this form takes cm3/cm3)");
    }
    // Pressure plates are set in kPa at 3.3, 33 and 1500 (field capacity
    // and wilting point); a sheet in cm reaches far beyond 1600.
    if (npts >= 3 && h_max >= 100 && h_max <= 1600 && kpa_marks > 0)
        r.warnings.push_back(where + ": the heads run only to " + fmt(h_max) + " cm (pF " + fmt(std::log10(h_max)) +
                             ") with the pressure-plate steps of kPa among them (3.3, 33, 1500); they look like kPa "
                             "(1500 kPa = 15296 cm, the wilting point); this form takes cm");
    // A fine soil holds much of its water at 1000 cm; Ks above
    // 10 cm/hr (240 cm/day) goes with coarse sands that do not.
    double theta_1000 = -1, best = 1e300;
    for (size_t i = 0; i < pts->size(); i += 2) {
        const double d = std::fabs(std::log10(std::max(std::fabs((*pts)[i + 1]), 1e-3) / 1000));
        if (d < best) {
            best = d;
            theta_1000 = (*pts)[i];
        }
    }
    const bool flagged = ksat > 10 && ksat <= 50 && best < 0.5 && theta_1000 > 0.35 * theta_wet;
    if (flagged)
        r.warnings.push_back(where + ": KSAT " + fmt(ksat) + " cm/hr (" + fmt(ksat * 24) +
                             " cm/day) is high for a soil that still holds " + fmt(theta_1000) +
                             " at about 1000 cm; if it is in cm/day it is " + fmt(ksat / 24) +
                             " cm/hr (this form takes cm/hr)");
    if (!flagged && ksat > 50)
        r.warnings.push_back(where + ": KSAT " + fmt(ksat) + " cm/hr (" + fmt(ksat * 24) +
                             " cm/day) is beyond all but gravel; in cm/day it would be " + fmt(ksat / 24) +
                             " cm/hr (this form takes cm/hr)");
    return true;
}

}  // namespace

PlausibilityReport check_main_input(std::string_view text) {
    PlausibilityReport r;
    Records rec(text);
    if (!rec.line()) {
        r.error = "the file is empty";
        return r;
    }
    const auto header = rec.read(2);
    if (!header) {
        r.error = "line 2 does not hold the number of layers and the form flag";
        return r;
    }
    const double nlayer = (*header)[0];
    if (!(nlayer >= 1 && nlayer <= 9 && nlayer == std::floor(nlayer))) {
        r.error = "the number of layers, " + fmt(nlayer) + ", is not 1 to 9";
        return r;
    }
    r.layers = static_cast<int>(nlayer);
    r.van_genuchten = (*header)[1] != 0;
    std::vector<double> bottoms;
    for (int layer = 1; layer <= r.layers; ++layer) {
        const std::string where = "layer " + std::to_string(layer);
        const bool read = r.van_genuchten ? check_van_genuchten_layer(rec, where, bottoms, r)
                                          : check_measured_layer(rec, where, bottoms, r);
        if (!read) return r;
    }
    check_depths(bottoms, r);
    const auto closing = rec.read(3);
    if (!closing) {
        r.error = "the closing record GADEPTH ROOTDEPTH LSIN cannot be read";
        return r;
    }
    const double lsin = (*closing)[2];
    if (!(lsin >= 1 && lsin <= r.layers))
        r.warnings.push_back("LSIN " + fmt(lsin) + " is not a layer number, 1 to " + std::to_string(r.layers));
    return r;
}

}  // namespace soildata
