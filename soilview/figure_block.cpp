#include "soilview/figure_block.h"

#include <cstdio>

namespace soilview {

std::string decimals(double v, int decimals) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, v);
    return buf;
}

std::string signed_percent(double fraction) {
    return (fraction >= 0 ? "+" : "") + decimals(fraction * 100, 1) + " %";
}

std::string signed_value(double v, int d) {
    return (v >= 0 ? "+" : "") + decimals(v, d);
}

std::string listed(const std::vector<std::string>& items) {
    std::string out;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0) out += i + 1 == items.size() ? " and " : ", ";
        out += items[i];
    }
    return out;
}

}  // namespace soilview
