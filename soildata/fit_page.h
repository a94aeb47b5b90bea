// The page of a fit: the measured points, the fitted retention curve and
// its 95% confidence band against suction, the parameters with their
// intervals, and the conductivity points with the fitted curve when there
// are any. Self-contained HTML with inline SVG (figure/).
#pragma once

#include <string>

#include "soildata/retention_points.h"
#include "soildata/van_genuchten_fit.h"

namespace soildata {

// The page of FIT to POINTS; SOURCE names the points file in the subtitle.
std::string fit_page(const FitResult& fit, const MeasuredPoints& points, const std::string& source);

}  // namespace soildata
