#include "soildata/fit_page.h"

#include <algorithm>
#include <cmath>

#include "figure/page.h"
#include "figure/plot.h"
#include "figure/table.h"

namespace soildata {

namespace {

// Suctions from 0.1 cm to beyond the driest point, 20 per decade.
std::vector<double> suction_grid(double h_max) {
    std::vector<double> h;
    const double top = std::max(1e4, h_max * 1.5);
    for (double e = -1; std::pow(10.0, e) <= top * 1.0001; e += 0.05) h.push_back(std::pow(10.0, e));
    return h;
}

figure::Table parameter_table(const FitResult& fit) {
    static const char* units[] = {"cm3/cm3", "cm3/cm3", "1/cm", "-", "cm/day", "-"};
    figure::Table t{"Parameters", {"parameter", "unit", "value", "stderr", "95% low", "95% high"}, {}};
    for (int i = 0; i < kParams; ++i) {
        const Estimate& e = fit.params[i];
        if (!e.fitted) continue;
        if (e.fixed) {
            t.rows.push_back(
                {param_name(static_cast<Param>(i)), units[i], figure::format_value(e.value), "fixed", "", ""});
        } else {
            t.rows.push_back({param_name(static_cast<Param>(i)), units[i], figure::format_value(e.value),
                              std::isfinite(e.stderr_) ? figure::format_value(e.stderr_) : "not identifiable",
                              figure::format_value(e.low), figure::format_value(e.high)});
        }
    }
    return t;
}

}  // namespace

std::string fit_page(const FitResult& fit, const MeasuredPoints& points, const std::string& source) {
    figure::Page page("van Genuchten fit: " + source);
    page.set_subtitle(std::to_string(fit.points) + " retention points" +
                      (fit.k_points ? ", " + std::to_string(fit.k_points) + " conductivity points" : std::string()) +
                      "; van Genuchten (1980), m = 1 - 1/n" + (fit.k_points ? "; Mualem (1976)" : ""));
    for (const auto& w : fit.warnings) page.add_check(figure::CheckStatus::Warning, w);
    page.add_check(figure::CheckStatus::Passed, std::to_string(fit.converged) + " of " + std::to_string(fit.starts) +
                                                    " starting points reached the best fit");

    page.add_section("Parameters");
    page.add_table(parameter_table(fit), false);
    char stats[200];
    std::snprintf(stats, sizeof stats, "RMSE %.4g cm3/cm3, R2 %.5f over %d points.", fit.rmse, fit.r2, fit.points);
    page.add_paragraph(stats);

    double h_max = 0;
    for (const auto& p : points.retention) h_max = std::max(h_max, p.head);
    const auto grid = suction_grid(h_max);

    figure::Plot retention;
    retention.id = "retention";
    retention.title = "Water retention: points, fitted curve and its 95% confidence band";
    retention.x = {"Suction", "cm", figure::Scale::Log, {}, false};
    retention.y = {"Water content", "cm3/cm3", figure::Scale::Linear, {0}, false};
    figure::Series measured{"measured", {}, {}, figure::SeriesKind::Points, false};
    for (const auto& p : points.retention) {
        measured.x.push_back(p.head);
        measured.y.push_back(p.theta);
    }
    figure::Series curve{"fitted", {}, {}, figure::SeriesKind::Line, false};
    figure::Series low{"95% band, lower", {}, {}, figure::SeriesKind::Line, false};
    figure::Series high{"95% band, upper", {}, {}, figure::SeriesKind::Line, false};
    for (double h : grid) {
        const double t = fit.curve.theta(h);
        const double b = theta_band(fit, h);
        curve.x.push_back(h);
        curve.y.push_back(t);
        low.x.push_back(h);
        low.y.push_back(t - b);
        high.x.push_back(h);
        high.y.push_back(t + b);
    }
    retention.series = {measured, curve, low, high};
    page.add_section("Retention");
    page.add_figure(figure::render(retention),
                    figure::plot_table(figure::Plot{"", "Measured points", retention.x, retention.y, {measured}}));
    page.add_paragraph(
        "The band is the 95% confidence interval of the fitted curve, from the covariance of the "
        "parameters (delta method, Student's t); it widens where the points do not pin the curve.");

    if (!points.conductivity.empty()) {
        figure::Plot k;
        k.id = "conductivity";
        k.title = "Conductivity: points and fitted Mualem curve";
        k.x = {"Suction", "cm", figure::Scale::Log, {}, false};
        k.y = {"Conductivity", "cm/day", figure::Scale::Log, {}, false};
        figure::Series kp{"measured", {}, {}, figure::SeriesKind::Points, false};
        for (const auto& p : points.conductivity) {
            kp.x.push_back(p.head);
            kp.y.push_back(p.k);
        }
        figure::Series kc{"fitted", {}, {}, figure::SeriesKind::Line, false};
        for (double h : grid) {
            kc.x.push_back(h);
            kc.y.push_back(fit.curve.conductivity(h));
        }
        k.series = {kp, kc};
        page.add_section("Conductivity");
        page.add_figure(figure::render(k),
                        figure::plot_table(figure::Plot{"", "Measured conductivity", k.x, k.y, {kp}}));
    }
    return page.html();
}

}  // namespace soildata
