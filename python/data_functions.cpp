// The soil-data and weather-import calculations for the Python package: the
// van Genuchten fit, the texture-class catalogue, the HYPRES pedotransfer
// functions, reference evapotranspiration and extraterrestrial radiation.
//
// The package's __init__.py checks and broadcasts the arguments and hands
// these calls one-dimensional float64 (day of year: int32) arrays of equal
// length, NaN standing for a missing value. The inputs are copied out while
// the interpreter's lock is held; the computation runs with it released.
#include "data_functions.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <cmath>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "soildata/pedotransfer.h"
#include "soildata/texture_classes.h"
#include "soildata/van_genuchten_fit.h"
#include "weatherimport/daily_series.h"
#include "weatherimport/pet_hargreaves.h"
#include "weatherimport/pet_penman_monteith.h"
#include "weatherimport/pet_thornthwaite.h"
#include "weatherimport/solar.h"

namespace py = pybind11;

namespace {

using Doubles = py::array_t<double, py::array::c_style | py::array::forcecast>;
using Ints = py::array_t<int32_t, py::array::c_style | py::array::forcecast>;
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

template <typename T, int F>
std::vector<T> values(const py::array_t<T, F>& a) {
    return std::vector<T>(a.data(), a.data() + a.size());
}

py::array_t<double> array_of(const std::vector<double>& v) {
    py::array_t<double> a(static_cast<py::ssize_t>(v.size()));
    std::copy(v.begin(), v.end(), a.mutable_data());
    return a;
}

std::optional<double> present(double v) {
    return std::isnan(v) ? std::nullopt : std::optional<double>(v);
}

py::dict fit(const Doubles& head, const Doubles& theta, const Doubles& weights, const Doubles& k_head, const Doubles& k,
             const py::dict& fixed) {
    soildata::MeasuredPoints points;
    const auto h = values(head), t = values(theta), w = values(weights), kh = values(k_head), kv = values(k);
    for (size_t i = 0; i < h.size(); ++i) points.retention.push_back({h[i], t[i], w[i]});
    for (size_t i = 0; i < kh.size(); ++i) points.conductivity.push_back({kh[i], kv[i]});
    soildata::FitOptions options;
    for (const auto& [name, value] : fixed) {
        const auto p = soildata::param_from_name(name.cast<std::string>());
        if (!p) throw py::value_error("fix names a parameter not fitted: " + name.cast<std::string>());
        options.fixed[*p] = value.cast<double>();
    }
    soildata::FitResult r;
    {
        py::gil_scoped_release released;
        r = soildata::fit_van_genuchten(points, options);
    }
    py::dict params;
    for (int i = 0; i < soildata::kParams; ++i) {
        const soildata::Estimate& e = r.params[i];
        if (!e.fitted && !e.fixed) continue;
        params[py::str(soildata::param_name(static_cast<soildata::Param>(i)))] =
            py::make_tuple(e.value, e.stderr_, e.low, e.high, e.fixed);
    }
    py::dict out;
    out["error"] = r.error;
    out["refused"] = r.refused;
    out["params"] = params;
    out["points"] = r.points;
    out["k_points"] = r.k_points;
    out["rmse"] = r.rmse;
    out["r2"] = r.r2;
    out["rmse_log10_k"] = r.k_points > 0 ? r.rmse_log10_k : kNaN;
    out["r2_log10_k"] = r.k_points > 0 ? r.r2_log10_k : kNaN;
    out["residuals"] = array_of(r.residuals);
    out["k_residuals"] = array_of(r.k_residuals);
    out["starts"] = r.starts;
    out["converged"] = r.converged;
    out["warnings"] = r.warnings;
    return out;
}

py::tuple texture_tuple(const soildata::TextureClass& c) {
    py::object spread = py::none();
    if (const auto s = soildata::texture_spread(c.name))
        spread = py::make_tuple(s->theta_r, s->theta_s, s->alpha, s->n, s->ks);
    return py::make_tuple(c.name, c.theta_r, c.theta_s, c.alpha, c.n, c.ks, spread);
}

// (theta_r, theta_s, alpha, n, l, ks) arrays, and the refusals and warnings
// as (sample, message) pairs.
py::tuple hypres(const Doubles& sand, const Doubles& silt, const Doubles& clay, const Doubles& om,
                 const Doubles& bulk_density,
                 const py::array_t<bool, py::array::c_style | py::array::forcecast>& topsoil) {
    const auto sa = values(sand), si = values(silt), cl = values(clay), o = values(om), bd = values(bulk_density);
    const std::vector<bool> top(topsoil.data(), topsoil.data() + topsoil.size());
    const size_t n = sa.size();
    std::vector<double> tr(n, kNaN), ts(n, kNaN), al(n, kNaN), nn(n, kNaN), l(n, kNaN), ks(n, kNaN);
    std::vector<std::pair<size_t, std::string>> errors, warnings;
    {
        py::gil_scoped_release released;
        for (size_t i = 0; i < n; ++i) {
            const auto r = soildata::hypres({sa[i], si[i], cl[i], o[i], bd[i], top[i]});
            for (const std::string& w : r.warnings) warnings.emplace_back(i, w);
            if (!r.ok()) {
                errors.emplace_back(i, r.error);
                continue;
            }
            tr[i] = r.vg.theta_r, ts[i] = r.vg.theta_s, al[i] = r.vg.alpha, nn[i] = r.vg.n, l[i] = r.vg.l,
            ks[i] = r.vg.ks;
        }
    }
    return py::make_tuple(array_of(tr), array_of(ts), array_of(al), array_of(nn), array_of(l), array_of(ks), errors,
                          warnings);
}

py::array_t<double> hargreaves(const Doubles& tmax, const Doubles& tmin, const Doubles& latitude, const Ints& doy) {
    const auto hi = values(tmax), lo = values(tmin), lat = values(latitude);
    const auto d = values(doy);
    std::vector<double> et0(hi.size(), kNaN);
    {
        py::gil_scoped_release released;
        for (size_t i = 0; i < hi.size(); ++i)
            if (!std::isnan(hi[i]) && !std::isnan(lo[i]))
                et0[i] = weatherimport::hargreaves_et0(hi[i], lo[i], lat[i], d[i]);
    }
    return array_of(et0);
}

py::array_t<double> radiation(const Doubles& latitude, const Ints& doy) {
    const auto lat = values(latitude);
    const auto d = values(doy);
    std::vector<double> ra(lat.size());
    {
        py::gil_scoped_release released;
        for (size_t i = 0; i < lat.size(); ++i) ra[i] = weatherimport::extraterrestrial_radiation(lat[i], d[i]);
    }
    return array_of(ra);
}

// ET0 per day, NaN where an input is missing and no estimate was asked,
// and for each such day the input that was missing ("" on computed days);
// the estimates used on the first computed day.
py::tuple penman_monteith(const Doubles& tmax, const Doubles& tmin, const Ints& doy, const py::dict& measured,
                          double latitude, double elevation, double wind_height, bool humidity_from_tmin,
                          double assumed_wind, double rs_krs) {
    const auto hi = values(tmax), lo = values(tmin);
    const auto d = values(doy);
    const char* names[] = {"tdew", "rh_max", "rh_min", "rh_mean", "wind", "solar", "sunshine"};
    std::vector<std::vector<double>> columns;
    for (const char* name : names)
        columns.push_back(measured.contains(name) ? values(measured[name].cast<Doubles>())
                                                  : std::vector<double>(hi.size(), kNaN));
    weatherimport::PenmanSite site;
    site.latitude = latitude, site.elevation = elevation, site.wind_height = wind_height;
    site.humidity_from_tmin = humidity_from_tmin;
    site.assumed_wind = present(assumed_wind);
    site.rs_krs = present(rs_krs);
    std::vector<double> et0(hi.size(), kNaN);
    std::vector<std::string> missing(hi.size());
    std::string estimated_first;
    {
        py::gil_scoped_release released;
        bool first = true;
        for (size_t i = 0; i < hi.size(); ++i) {
            if (std::isnan(hi[i]) || std::isnan(lo[i])) {
                missing[i] = std::isnan(hi[i]) ? "tmax" : "tmin";
                continue;
            }
            weatherimport::PenmanDay day{};
            day.tmax = hi[i], day.tmin = lo[i];
            day.tdew = present(columns[0][i]), day.rh_max = present(columns[1][i]);
            day.rh_min = present(columns[2][i]), day.rh_mean = present(columns[3][i]);
            day.wind = present(columns[4][i]), day.solar = present(columns[5][i]);
            day.sunshine = present(columns[6][i]);
            std::string estimated;
            if (const auto v = weatherimport::penman_monteith_et0(day, site, d[i], missing[i], estimated)) {
                et0[i] = *v;
                missing[i].clear();
                if (first) estimated_first = estimated, first = false;
            }
        }
    }
    return py::make_tuple(array_of(et0), missing, estimated_first);
}

// PET per day of the series that begins on day FIRST (days since
// 1970-01-01), NaN on days without a value; WHY set when no heat index.
py::tuple thornthwaite(int64_t first, const Doubles& tmax, const Doubles& tmin, double latitude) {
    using weatherimport::Quantity;
    weatherimport::DailySeries s;
    s.first = weatherimport::Day{date::days{first}};
    const auto hi = values(tmax), lo = values(tmin);
    s.days.resize(hi.size());
    for (size_t i = 0; i < hi.size(); ++i) {
        s.at(i, Quantity::Tmax) = present(hi[i]);
        s.at(i, Quantity::Tmin) = present(lo[i]);
    }
    s.carried[weatherimport::index(Quantity::Tmax)] = s.carried[weatherimport::index(Quantity::Tmin)] = true;
    std::vector<std::optional<double>> pet;
    std::string why;
    bool ok = false;
    {
        py::gil_scoped_release released;
        ok = weatherimport::thornthwaite_series(s, latitude, pet, why);
    }
    std::vector<double> out(hi.size(), kNaN);
    if (ok)
        for (size_t i = 0; i < pet.size() && i < out.size(); ++i)
            if (pet[i]) out[i] = *pet[i];
    return py::make_tuple(array_of(out), why);
}

}  // namespace

void add_data_functions(py::module_& m) {
    m.def("fit_van_genuchten", &fit, py::arg("head_cm"), py::arg("theta"), py::arg("weights"), py::arg("k_head_cm"),
          py::arg("k"), py::arg("fixed"), "The van Genuchten-Mualem fit of the points, as a dict.");
    m.def(
        "texture_classes",
        [] {
            py::list out;
            for (const auto& c : soildata::texture_classes()) out.append(texture_tuple(c));
            return out;
        },
        "The texture classes: (name, theta_r, theta_s, alpha, n, ks, spread or None).");
    m.def(
        "texture_class",
        [](const std::string& name) -> py::object {
            const auto c = soildata::texture_class(name);
            return c ? py::object(texture_tuple(*c)) : py::object(py::none());
        },
        py::arg("name"), "The class of that name, or None.");
    m.attr("texture_class_source") = std::string(soildata::kTextureClassSource);
    m.attr("hypres_source") = std::string(soildata::kHypresSource);
    m.def("hypres", &hypres, "HYPRES per sample: the parameter arrays, refusals and warnings.");
    m.def("pet_hargreaves", &hargreaves, "Hargreaves ET0 (mm/day) per day.");
    m.def("extraterrestrial_radiation", &radiation, "Ra (MJ/m2/day) per day.");
    m.def("pet_penman_monteith", &penman_monteith, "FAO-56 Penman-Monteith ET0 per day, what was missing, estimates.");
    m.def("pet_thornthwaite", &thornthwaite, "Thornthwaite PET per day and why none.");
}
