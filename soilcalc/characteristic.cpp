#include "soilcalc/characteristic.h"

#include <cmath>
#include <string>
#include <string_view>

#include "soilcalc/messages.h"

namespace soilcalc {

void blank_control_characters(std::string& title) {
    for (char& ch : title) {
        const auto c = static_cast<unsigned char>(ch);
        if (c < 0x20 || c == 0x7f) ch = ' ';
    }
}

std::string points_out_of_order(int32_t layer, int32_t n, const CurveColumn& theta, const CurveColumn& h) {
    for (int32_t j = 1; j < n; ++j) {
        const msg::Point from{j, theta[j - 1], h[j - 1]}, to{j + 1, theta[j], h[j]};
        if (!(std::fabs(h[j]) > std::fabs(h[j - 1]))) return msg::suction_not_rising(layer, from, to);
        if (!(theta[j] <= theta[j - 1])) return msg::theta_rising(layer, from, to);
    }
    return {};
}

bool lacks_saturated_point(const CurveColumn& h) {
    return std::fabs(h[0]) > 1.0E-8f;
}

void add_saturated_point(int32_t& n, CurveColumn& theta, CurveColumn& h) {
    float slope = (theta[1] - theta[0]) / std::fabs(h[1] - h[0]);
    float theta_s = theta[0] - slope * std::fabs(h[0]);
    for (int32_t i = n; i >= 1; --i) {
        theta[i] = theta[i - 1];
        h[i] = h[i - 1];
    }
    theta[0] = theta_s;
    h[0] = 0.0f;
    n = n + 1;
}

}  // namespace soilcalc
